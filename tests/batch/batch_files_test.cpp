// SPDX-License-Identifier: MIT
// The batch's files on disk, run as the built program: compressed and refused operands, report
// files that replace names without following links or overwriting the batch's own files, stops
// that keep the rows before the failing line, and names shown safely in messages.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

// A puzzle solved in the first attempt, and the rest of its row after the line number.
const std::string kPuzzle =
    "003020600900305001001806400008102900700000008006708200002609500800203009005010300";
const std::string kRest = "\t" + kPuzzle +
                          "\tsolved\t1\t6\t0\t0\t48392165796734582125187649354813297672956413813679"
                          "8245372689514814253769695417382\n";
const std::string kHeader = "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n";

std::string Row(const std::string& source, int line) {
  return source + "\t" + std::to_string(line) + kRest;
}

// Files whose names start with a dot: temporary files left behind.
std::vector<std::string> Hidden(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".")) names.push_back(name);
  }
  return names;
}

struct OperandCase {
  const char* what;
  std::string setUp;  // a bash script that makes the operands
  std::string arguments;
  int status;
  std::string rows;
  std::string errors;
};

TEST(BatchFilesTest, OperandsAsTheyCome) {
  const std::string p = kPuzzle + "\n";
  const std::vector<OperandCase> cases = {
      {"gzip, a CSV with a header",
       "printf 'id,puzzle\\n7,%s\\n' " + kPuzzle + " | gzip > p.csv.gz", "p.csv.gz", 0,
       kHeader + Row("p.csv.gz", 2), ""},
      {"gzip members one after the other",
       "printf '%s\\n' " + kPuzzle + " | gzip > m.gz; printf '%s\\n' " + kPuzzle +
           " | gzip >> m.gz",
       "m.gz", 0, kHeader + Row("m.gz", 1) + Row("m.gz", 2), ""},
      {"xz data is named, and the next FILE is read",
       "printf '\\xfd7zXZ\\x00\\x00\\x04' > x.xz; printf '%s\\n' " + kPuzzle + " > p.txt",
       "x.xz p.txt", 66, kHeader + Row("p.txt", 1),
       "tarvik: x.xz: compressed with xz: decompress it first and pipe it into tarvik --batch -\n"},
      {"xz data on standard input is only to be decompressed first",
       "printf '\\xfd7zXZ\\x00\\x00\\x04' > x.xz", "- < x.xz", 66, kHeader,
       "tarvik: -: compressed with xz: decompress it first\n"},
      {"a header without the field asked for refuses its FILE alone",
       "printf 'id,grid\\n1,%s\\n' " + kPuzzle + " > a.csv; printf 'id,puzzle\\n2,%s\\n' " +
           kPuzzle + " > b.csv",
       "--field=puzzle a.csv b.csv", 65, kHeader + Row("b.csv", 2),
       "tarvik: a.csv:1: header: found \"id,grid\", expected a field named \"puzzle\"\n"},
  };
  for (const OperandCase& c : cases) {
    const Scratch scratch;
    const Outcome out =
        scratch.RunScript(c.setUp + "\n\"$1\" --batch --quiet --jobs=2 " + c.arguments + "\n");
    EXPECT_EQ(out.status, c.status) << c.what;
    ExpectSameText(out.console, c.rows, c.what);
    EXPECT_EQ(out.errors, c.errors) << c.what;
  }
}

// With more than one FILE, a line for each before the summary, a FILE not read included.
TEST(BatchFilesTest, EachFileHasItsLineBeforeTheSummary) {
  const Scratch scratch;
  const Outcome out = scratch.RunScript("printf '%s\\n# note\\n' " + kPuzzle +
                                        " > p.txt\nprintf '\\xfd7zXZ\\x00' > x.xz\n"
                                        "\"$1\" --batch --jobs=2 p.txt missing.txt x.xz\n");
  EXPECT_EQ(out.status, 66);
  const std::string expected =
      "tarvik: missing.txt: No such file or directory\n"
      "tarvik: x.xz: compressed with xz: decompress it first and pipe it into tarvik --batch -\n"
      "tarvik: p.txt: 2 lines, 1 puzzles, 0 refused: 1 solved, 0 step-limit, 0 "
      "no-further-guesses, 0 no-solution\n"
      "tarvik: missing.txt: not read: No such file or directory\n"
      "tarvik: x.xz: not read: compressed with xz: decompress it first and pipe it into tarvik "
      "--batch -\n"
      "tarvik: 1 puzzles, 0 refused, in ";
  EXPECT_TRUE(out.errors.starts_with(expected)) << out.errors;
  EXPECT_TRUE(out.errors.ends_with(": 1 solved\n")) << out.errors;
}

// Damaged compressed data: the rows before it stand, one message, and the next FILE is read.
TEST(BatchFilesTest, DamagedCompressedDataKeepsTheRowsBeforeIt) {
  const Scratch scratch;
  const Outcome out = scratch.RunScript(
      "for k in $(seq 3000); do printf '%s\\n' " + kPuzzle +
      "; done | gzip > whole.gz\n"
      "head -c $(($(stat -c %s whole.gz) / 2)) whole.gz > cut.gz\n"
      "printf '%s\\n' " +
      kPuzzle + " > next.txt\n\"$1\" --batch --quiet --no-header cut.gz next.txt\n");
  EXPECT_EQ(out.status, 65);
  EXPECT_TRUE(out.errors.starts_with("tarvik: cut.gz:")) << out.errors;
  EXPECT_TRUE(
      out.errors.ends_with(": compressed data is damaged: it ends in the middle of a member\n"))
      << out.errors;
  const std::size_t rows =
      static_cast<std::size_t>(std::count(out.console.begin(), out.console.end(), '\n'));
  ASSERT_GT(rows, 1u);
  std::string expected;
  for (std::size_t line = 1; line < rows; ++line) expected += Row("cut.gz", static_cast<int>(line));
  ExpectSameText(out.console, expected + Row("next.txt", 1), "rows");
}

// A link planted where a report file goes is replaced, never followed.
TEST(BatchFilesTest, ALinkInTheReportFolderIsReplacedNotFollowed) {
  const Scratch scratch;
  scratch.Write("four.txt", BatchCase("four.txt"));
  const Outcome out = scratch.RunScript(
      "mkdir r && echo keep > elsewhere.txt && ln -s ../elsewhere.txt r/four-2.txt\n"
      "\"$1\" --batch --quiet --reports=r four.txt > /dev/null\n");
  EXPECT_EQ(out.status, 0) << out.errors;
  EXPECT_EQ(scratch.Read("elsewhere.txt"), "keep\n");
  EXPECT_FALSE(fs::is_symlink(scratch.path() / "r" / "four-2.txt"));
  ExpectSameText(scratch.Read("r/four-2.txt"), BatchCase("reports-level0/four-2.txt"),
                 "four-2.txt");
  EXPECT_EQ(Hidden(scratch.path() / "r"), std::vector<std::string>{});
}

struct SameFileCase {
  const char* what;
  std::string script;
  int status;
  std::string errors;
  const char* untouched;  // a file that keeps its bytes
};

TEST(BatchFilesTest, NoFileOfTheBatchIsOverwritten) {
  const std::string p = kPuzzle + "\n";
  const std::vector<SameFileCase> cases = {
      {"a report file that is an input", "\"$1\" --batch -q --reports=. a.txt a-1.txt > rows", 73,
       "tarvik: ./a-1.txt: is the same file as the input a-1.txt\n", "a-1.txt"},
      {"a report file that is standard output",
       "mkdir r && \"$1\" --batch -q --reports=r a.txt > r/a-1.txt", 73,
       "tarvik: r/a-1.txt: is the same file as standard output\n", nullptr},
      {"an input that is standard output", "\"$1\" --batch -q a.txt a-1.txt >> a-1.txt", 66,
       "tarvik: a-1.txt: is the same file as standard output\n", nullptr},
      {"index.html that is an input",
       "cp a.txt index.html && \"$1\" --batch -q --views=. a.txt index.html > rows", 73,
       "tarvik: ./index.html: is the same file as the input index.html\n", "index.html"},
      {"index.html that is standard output",
       "mkdir v && \"$1\" --batch -q --views=v a.txt > v/index.html", 73,
       "tarvik: v/index.html: is the same file as standard output\n", nullptr},
  };
  for (const SameFileCase& c : cases) {
    const Scratch scratch;
    scratch.Write("a.txt", p);
    scratch.Write("a-1.txt", p);
    const Outcome out = scratch.RunScript(c.script + "\n");
    EXPECT_EQ(out.status, c.status) << c.what;
    EXPECT_EQ(out.errors, c.errors) << c.what;
    if (c.untouched) {
      EXPECT_EQ(scratch.Read(c.untouched), p) << c.what;
    }
  }
  // The input that is standard output is not read: the rows of the others still come, once.
  const Scratch scratch;
  scratch.Write("a.txt", p);
  scratch.Write("a-1.txt", p);
  scratch.RunScript("\"$1\" --batch -q a.txt a-1.txt >> a-1.txt\n");
  EXPECT_EQ(scratch.Read("a-1.txt"), p + kHeader + Row("a.txt", 1));
}

// A puzzle of 35 attempts, whose report at print level 1 passes 2 KB, and one of over 2,000
// attempts, which takes far longer.
const std::string kLonger =
    "602050000000003040000000000430008000010000200000000700500270000000000081000600000";
const std::string kLongest =
    "000000000003600000005090000000030006000840000287100000500000000400020007700000000";

std::string Lines(const std::string& puzzle, int count) {
  std::string lines;
  for (int k = 0; k < count; ++k) lines += puzzle + "\n";
  return lines;
}

// A report file that cannot be made or written stops the batch before its line: every row before
// it goes out, none after, whatever the number of threads; the message names that line, even
// where later lines fail first, and no temporary file is left.
TEST(BatchFilesTest, AFailingReportFileKeepsEveryRowBeforeIt) {
  struct StopCase {
    const char* what;
    std::string input;
    std::string run;  // a bash script around the batch, given as "$@"
    int failing;      // the line that fails
    int status;
    std::string errors;
    std::vector<std::string> sets = {};  // the labels of a sweep's sets, in order
  };
  const std::vector<StopCase> cases = {
      {"a folder in the way", Lines(kPuzzle, 600), "mkdir -p r/in-400.txt\n\"$@\"\n", 400, 73,
       "tarvik: r/in-400.txt: Is a directory\n"},
      // Every report from line 4 on passes the file-size limit, and line 4's last: the later
      // lines fail first on other threads.
      {"a file-size limit", Lines(kPuzzle, 3) + Lines(kLongest, 1) + Lines(kLonger, 296),
       "(ulimit -f 2; \"$@\" --print-level=1) | cat\nexit ${PIPESTATUS[0]}\n", 4, 74,
       "tarvik: write error on r/in-4.txt: File too large\n"},
      // A sweep's line is worked a set at a time: a later line's first set, worked at the same
      // time, fails too.
      {"a folder in the way of a middle set",
       Lines(kPuzzle, 600),
       "mkdir -p r/in-400-2.txt r/in-401-1.txt\n\"$@\" --steps=7,40,100\n",
       400,
       73,
       "tarvik: r/in-400-2.txt: Is a directory\n",
       {"4/7/4123", "4/40/4123", "4/100/4123"}},
  };
  for (const StopCase& c : cases) {
    for (const char* jobs : {"1", "8"}) {
      const std::string what = std::string(c.what) + ", jobs " + jobs;
      const Scratch scratch;
      scratch.Write("in.txt", c.input);
      const Outcome out =
          scratch.RunScript(std::string("set -- \"$1\" --batch --quiet --no-header --jobs=") +
                            jobs + " --reports=r in.txt\n" + c.run);
      EXPECT_EQ(out.status, c.status) << what;
      EXPECT_EQ(out.errors, c.errors) << what;
      std::string expected;
      for (int line = 1; line < c.failing; ++line) {
        if (c.sets.empty()) expected += Row("in.txt", line);
        for (const std::string& set : c.sets) {
          expected += "in.txt\t" + std::to_string(line) + "\t" + set + kRest;
        }
      }
      ExpectSameText(out.console, expected, "rows with " + what);
      EXPECT_EQ(Hidden(scratch.path() / "r"), std::vector<std::string>{}) << what;
    }
  }
}

// A stop ends the batch at once, without waiting for a slow producer's next line.
TEST(BatchFilesTest, AStopDoesNotWaitForMoreInput) {
  const Scratch scratch;
  const Outcome out = scratch.RunScript(
      "mkdir -p r/stdin-1.txt\n"
      "exec 3< <(printf '%s\\n' " +
      kPuzzle +
      "; exec sleep 60)\n"
      "producer=$!\n"
      "timeout 20 \"$1\" --batch -q --reports=r <&3\n"
      "status=$?\n"
      "kill $producer\n"
      "exit $status\n");
  EXPECT_EQ(out.status, 73);
  EXPECT_EQ(out.errors, "tarvik: r/stdin-1.txt: Is a directory\n");
}

// The page of a batch holds no time: the same bytes whatever the number of threads; with --views,
// DIR/index.html links to pages that are there, each of which links back.
TEST(BatchFilesTest, OverviewIsTheSameOnAnyNumberOfThreadsAndItsLinksResolve) {
  const Scratch scratch;
  scratch.Write("mixed.txt", BatchCase("mixed.txt"));
  const Outcome one = scratch.Run("--batch -q -j1 --overview=one.html mixed.txt", "> /dev/null");
  const Outcome eight = scratch.Run(
      "--batch -q -j8 --solutions --overview=eight.html --views=pages mixed.txt", "> /dev/null");
  EXPECT_EQ(one.status, 65);
  EXPECT_EQ(eight.status, 65);
  const Outcome again =
      scratch.Run("--batch -q -j8 --overview=again.html mixed.txt", "> /dev/null");
  EXPECT_EQ(scratch.Read("one.html"), scratch.Read("again.html"));

  const std::string index = scratch.Read("pages/index.html");
  std::size_t links = 0;
  for (std::size_t at = index.find("href=\""); at != std::string::npos;
       at = index.find("href=\"", at + 1)) {
    const std::string page = index.substr(at + 6, index.find('"', at + 6) - at - 6);
    EXPECT_TRUE(fs::exists(scratch.path() / "pages" / page)) << page;
    EXPECT_NE(scratch.Read("pages/" + page).find("href=\"index.html\""), std::string::npos);
    ++links;
  }
  EXPECT_EQ(links, 19u);  // every graded puzzle is among the 50 hardest
  // FILE's links lead to the same pages from FILE's folder.
  EXPECT_NE(scratch.Read("eight.html").find("href=\"pages/mixed-"), std::string::npos);
  EXPECT_EQ(Hidden(scratch.path()), std::vector<std::string>{});
}

// Report files and pages asked for together come from one run of each puzzle: the same rows, report
// files and pages as each asked for alone (a page shows the print level of the report files, so
// pages are compared at the default level).
TEST(BatchFilesTest, ReportsAndPagesTogetherAreAsEachAlone) {
  const Scratch scratch;
  scratch.Write("mixed.txt", BatchCase("mixed.txt"));
  for (const std::string level : {"0", "3"}) {
    const std::string both = "both" + level;
    const std::string alone = "alone" + level;
    const std::string options = "--batch -q -j2 --print-level=" + level;
    const Outcome together = scratch.Run(std::string(options)
                                             .append(" --reports=")
                                             .append(both)
                                             .append(" --views=")
                                             .append(both)
                                             .append(" mixed.txt"));
    const Outcome reports =
        scratch.Run(std::string(options).append(" --reports=").append(alone).append(" mixed.txt"));
    EXPECT_EQ(together.status, 65);
    EXPECT_EQ(together.console, reports.console) << level;
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(scratch.path() / alone)) {
      const std::string name = entry.path().filename().string();
      const std::string inFolder = "/" + name;
      EXPECT_TRUE(scratch.Read(both + inFolder) == scratch.Read(alone + inFolder))
          << level << ": " << name;
      ++files;
    }
    EXPECT_EQ(files, 19u) << level;
  }
  scratch.Run("--batch -q -j2 --views=pages mixed.txt", "> /dev/null");
  std::size_t pages = 0;
  for (const auto& entry : fs::directory_iterator(scratch.path() / "pages")) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(scratch.Read("both0/" + name) == scratch.Read("pages/" + name)) << name;
    ++pages;
  }
  EXPECT_EQ(pages, 20u);  // and index.html
}

struct OverviewRefusal {
  const char* what;
  std::string arguments;
  int status;
  std::string errors;
  bool rows;  // whether the rows still came
};

TEST(BatchFilesTest, OverviewThatCannotBeWritten) {
  const std::string p = kPuzzle + "\n";
  const std::vector<OverviewRefusal> cases = {
      {"in a folder that is not there", "--overview=no/such.html a.txt", 73,
       "tarvik: no/such.html: No such file or directory\n", false},
      {"an input", "--overview=a.txt a.txt", 73,
       "tarvik: a.txt: is the same file as the input a.txt\n", false},
      {"a device that fills up", "--overview=/dev/full a.txt", 74,
       "tarvik: write error on /dev/full: No space left on device\n", true},
  };
  for (const OverviewRefusal& c : cases) {
    const Scratch scratch;
    scratch.Write("a.txt", p);
    const Outcome out = scratch.Run("--batch -q --no-header " + c.arguments);
    EXPECT_EQ(out.status, c.status) << c.what;
    EXPECT_EQ(out.errors, c.errors) << c.what;
    EXPECT_EQ(out.console, c.rows ? Row("a.txt", 1) : "") << c.what;
    EXPECT_EQ(scratch.Read("a.txt"), p) << c.what;
    EXPECT_EQ(Hidden(scratch.path()), std::vector<std::string>{}) << c.what;
  }
}

struct ClashCase {
  const char* what;
  std::string script;
  int status;
  std::string errors;
};

// The --overview FILE may not be a file that the batch writes besides, whether or not that line
// exists: told from the names alone before anything is made (64), or from the folders once they
// are there (73).
TEST(BatchFilesTest, OverviewThatIsAnotherFileOfTheBatch) {
  const std::string expected = "\", expected a file other than the ";
  const std::string tryHelp = "Try 'tarvik --help' for more information.\n";
  const std::vector<ClashCase> cases = {
      {"index.html, named otherwise", "--views=v --overview=./v//index.html", 64,
       "tarvik: --overview: found \"./v//index.html" + expected + "--views folder's index.html\n" +
           tryHelp},
      {"the page of a line that is not there", "--views=v --overview=v/a-7.html", 64,
       "tarvik: --overview: found \"v/a-7.html" + expected +
           "--views folder's pages (REPORTNAME-LINE.html)\n" + tryHelp},
      {"a report file", "--reports=v/ --overview=v/a-1.txt", 64,
       "tarvik: --overview: found \"v/a-1.txt" + expected +
           "--reports folder's report files (REPORTNAME-LINE.txt)\n" + tryHelp},
      {"a sweep's page", "--steps=7,40 --views=v --overview=v/a-3-2.html", 64,
       "tarvik: --overview: found \"v/a-3-2.html" + expected +
           "--views folder's pages (REPORTNAME-LINE-K.html)\n" + tryHelp},
      {"a sweep's report file", "--sequence=perm:123 --reports=v --overview=v/a-1-6.txt", 64,
       "tarvik: --overview: found \"v/a-1-6.txt" + expected +
           "--reports folder's report files (REPORTNAME-LINE-K.txt)\n" + tryHelp},
      {"a sweep's index.html", "--look-back=2,5 --views=v --overview=v/index.html", 64,
       "tarvik: --overview: found \"v/index.html" + expected + "--views folder's index.html\n" +
           tryHelp},
      {"index.html through a link to the folder", "--views=w --overview=v/index.html", 73,
       "tarvik: v/index.html: is the same file as w/index.html\n"},
  };
  for (const ClashCase& c : cases) {
    const Scratch scratch;
    scratch.Write("a.txt", kPuzzle + "\n");
    const bool link = c.status == 73;
    const Outcome out = scratch.RunScript(std::string(link ? "mkdir w && ln -s w v\n" : "") +
                                          "\"$1\" --batch -q " + c.script + " a.txt\n");
    EXPECT_EQ(out.status, c.status) << c.what;
    EXPECT_EQ(out.errors, c.errors) << c.what;
    EXPECT_EQ(out.console, "") << c.what;
    if (link) {
      EXPECT_EQ(Hidden(scratch.path() / "w"), std::vector<std::string>{}) << c.what;
    } else {
      EXPECT_FALSE(fs::exists(scratch.path() / "v")) << c.what;
    }
  }
}

// Names that the batch does not write in the folder, which the page may take: a line or set
// numbered 0 or with a leading zero, a set past the last, a one-set name in a sweep and a sweep's
// name in a one-set batch.
TEST(BatchFilesTest, OverviewBesideTheFilesOfTheBatch) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--steps=7,40 --views=v", "a-1-0.html"},
      {"--steps=7,40 --views=v", "a-1-07.html"},
      {"--steps=7,40 --views=v", "a-1-3.html"},
      {"--steps=7,40 --views=v", "a-1.html"},
      {"--steps=7,40 --views=v", "a-0-1.html"},
      {"--steps=7,40 --reports=v", "a-1-2.html"},
      {"--steps=7,40 --reports=v", "a-1.txt"},
      {"--views=v", "a-1-2.html"},
      {"--reports=v", "a-1-2.txt"},
  };
  for (const auto& [options, name] : cases) {
    const Scratch scratch;
    scratch.Write("a.txt", kPuzzle + "\n");
    const std::string what = options + " " + name;
    const Outcome out =
        scratch.Run("--batch -q --no-header " + options + " --overview=v/" + name + " a.txt");
    EXPECT_EQ(out.status, 0) << what;
    EXPECT_EQ(out.errors, "") << what;
    EXPECT_TRUE(scratch.Read("v/" + name).starts_with("<!DOCTYPE html>")) << what;
  }
}

struct PlantedCase {
  const char* what;
  std::string setUp;     // shell lines before the batch
  std::string overview;  // the --overview FILE
  std::string redirection;
  int status;
  std::string errors;
  bool rows;         // whether the rows came
  const char* page;  // the file that holds the page then, if any
};

// Runs each case's batch after its set-up, within a time limit (a FIFO must never hold the
// batch), next to the page written to a plain file.
void ExpectPlantedCases(const std::vector<PlantedCase>& cases) {
  for (const PlantedCase& c : cases) {
    const Scratch scratch;
    scratch.Write("a.txt", kPuzzle + "\n");
    const std::string batch = "timeout 20 \"$1\" --batch -q --no-header --overview=";
    const Outcome out = scratch.RunScript(
        batch + "plain.html a.txt > /dev/null || exit 99\n" + c.setUp + "\n" + batch + c.overview +
        " a.txt " + c.redirection + "\nst=$?\n[ -z \"$!\" ] || wait $!\nexit $st\n");
    EXPECT_EQ(out.status, c.status) << c.what;
    EXPECT_EQ(out.errors, c.errors) << c.what;
    EXPECT_EQ(out.console, c.rows ? Row("a.txt", 1) : "") << c.what;
    if (c.page) {
      EXPECT_FALSE(fs::is_symlink(scratch.path() / c.page)) << c.what;
      EXPECT_TRUE(scratch.Read(c.page) == scratch.Read("plain.html")) << c.what;
    }
    EXPECT_EQ(Hidden(scratch.path()), std::vector<std::string>{}) << c.what;
  }
}

// Another user's link at the --overview FILE is replaced, never followed; another user's FIFO is
// never written.
TEST(BatchFilesTest, OverviewAtAnotherUsersLinkOrFifo) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root, to plant files as another user";
  if (getpwnam("nobody") == nullptr) GTEST_SKIP() << "needs the user nobody to plant files as";
  ExpectPlantedCases({
      {"a link to a device", "mkdir t && ln -s /dev/full t/o.html && chown -h nobody t/o.html",
       "t/o.html", "", 0, "", true, "t/o.html"},
      {"a FIFO", "mkfifo f && chown nobody f", "f", "", 73,
       "tarvik: f: is a FIFO owned by another user\n", false, nullptr},
      {"one's own link to that FIFO", "mkfifo f && chown nobody f && ln -s f l", "l", "", 73,
       "tarvik: l: is a FIFO owned by another user\n", false, nullptr},
  });
}

// One's own FIFO and the system's links (/dev/stderr, /dev/fd/N) are written as they are: the
// FIFO when the page is, and only with a reader.
TEST(BatchFilesTest, OverviewThroughOnesOwnLinkOrFifo) {
  ExpectPlantedCases({
      {"a FIFO without a reader", "mkfifo f", "f", "", 73,
       "tarvik: f: no process reads this FIFO\n", true, nullptr},
      // The reader is there before the batch starts: the script holds the FIFO open, and reads
      // the page's bytes from it once they are written.
      {"a FIFO with a reader",
       "mkfifo f; exec 3<>f; timeout 20 head -c \"$(stat -c %s plain.html)\" <&3 > got.html &", "f",
       "", 0, "", true, "got.html"},
      {"standard error on a file", "", "/dev/stderr", "2> got.html", 0, "", true, "got.html"},
      {"a process substitution", "", ">(cat > got.html)", "", 0, "", true, "got.html"},
  });
  EXPECT_TRUE(fs::is_symlink("/dev/stderr"));
}

// A batch stopped by SIGINT or SIGTERM while it writes report files and pages leaves no temporary
// file behind, and ends by that signal, as its parent sees.
TEST(BatchFilesTest, ASignalLeavesNoTemporaryFile) {
  for (const char* signal : {"SIGINT", "SIGTERM"}) {
    const Scratch scratch;
    std::string lines;
    for (int k = 0; k < 20000; ++k) lines += kPuzzle + "\n";
    scratch.Write("many.txt", lines);
    // Started from Python, so that SIGINT is not ignored as in a shell's background job.
    const Outcome out = scratch.RunScript(
        "exec /usr/bin/env python3 - \"$1\" " + std::string(signal) +
        " <<'PY'\n"
        "import os, signal, subprocess, sys, time\n"
        "run = subprocess.Popen([sys.argv[1], '--batch', '-q', '-j2', '--reports=r', '--views=v',\n"
        "                        'many.txt'], stdout=subprocess.DEVNULL)\n"
        "while not (os.path.isdir('r') and len(os.listdir('r')) > 20):\n"
        "    time.sleep(0.01)\n"
        "run.send_signal(getattr(signal, sys.argv[2]))\n"
        "print(-run.wait())\n"
        "PY\n");
    EXPECT_EQ(out.status, 0) << signal << out.errors;
    EXPECT_EQ(out.console, std::string(signal) == "SIGINT" ? "2\n" : "15\n") << signal;
    EXPECT_EQ(Hidden(scratch.path() / "r"), std::vector<std::string>{}) << signal;
    EXPECT_EQ(Hidden(scratch.path() / "v"), std::vector<std::string>{}) << signal;
  }
}

// Any name that can be made can be written, however long: the temporary file beside it is
// named within the limit of 255 bytes.
TEST(BatchFilesTest, TheLongestNamesAreWritten) {
  const std::string stem(249, 'n');  // stem-1.txt is 255 bytes
  const struct {
    const char* what;
    std::string arguments;
    std::string written;
  } cases[] = {
      {"an --overview FILE", "--overview=" + stem + "-1.htm a.txt", stem + "-1.htm"},
      {"a report file", "--reports=r " + stem + ".txt", "r/" + stem + "-1.txt"},
  };
  for (const auto& c : cases) {
    const Scratch scratch;
    scratch.Write("a.txt", kPuzzle + "\n");
    scratch.Write(stem + ".txt", kPuzzle + "\n");
    const Outcome out = scratch.Run("--batch -q " + c.arguments);
    EXPECT_EQ(out.status, 0) << c.what;
    EXPECT_EQ(out.errors, "") << c.what;
    EXPECT_TRUE(fs::is_regular_file(scratch.path() / c.written)) << c.what;
  }
}

// However little memory there is, a batch writing report files either ends well or says once that
// it is out of memory (71), leaving no temporary file.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARVIK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TARVIK_SANITIZED 1
#endif
#endif

TEST(BatchFilesTest, OutOfMemoryLeavesNoTemporaryFile) {
#if defined(TARVIK_SANITIZED)
  GTEST_SKIP() << "sanitizers need far more address space than the limits tried";
#else
  if (!fs::exists("/usr/bin/prlimit") && std::getenv("TARVIK_TOOLS_REQUIRED") == nullptr) {
    GTEST_SKIP() << "prlimit (Debian package util-linux) is missing";
  }
  const Scratch scratch;
  scratch.Write("four.txt", BatchCase("four.txt"));
  const Outcome out = scratch.RunScript(
      "for kb in $(seq 2048 64 65536); do\n"
      "  rm -rf r\n"
      "  { /usr/bin/prlimit --as=$((kb * 1024)) \"$1\" --batch -q -j2 --print-level=3 \\\n"
      "      --reports=r --views=r four.txt > rows.txt 2> errors.txt\n"
      "    status=$?; } 2> /dev/null\n"
      "  [ -d r ] && [ -n \"$(ls -A r | grep '^[.]')\" ] && { echo \"left at $kb\" >&2; exit 10; "
      "}\n"
      "  case $status in\n"
      "    71) cmp -s errors.txt <(printf 'tarvik: out of memory\\n') || exit 11; seen=1 ;;\n"
      "    0) exit $((seen ? 0 : 14)) ;;\n"
      "    *) if [ -z \"$seen\" ] && [ $status = 127 -o $status -ge 128 ]; then continue; fi\n"
      "       echo \"status $status at $kb KB: $(head -c 200 errors.txt)\" >&2; exit 15 ;;\n"
      "  esac\n"
      "done\n"
      "exit 16\n");
  EXPECT_EQ(out.status, 0) << out.errors;
#endif
}

// Memory that runs out stops the batch at the failing line: every row before it goes out, whole,
// whatever the number of threads, then the one message and 71. Line 21's page needs about 1 MB
// more than the others' (thousands of attempts), so that a band of limits fails on it alone: there
// the rows of lines 1 to 20 come out, and with threads, none of the later lines whose pages were
// made. Thread stacks of 512 KB let all eight threads start at limits of a few megabytes.
TEST(BatchFilesTest, OutOfMemoryKeepsEveryRowBeforeTheFailingLine) {
#if defined(TARVIK_SANITIZED)
  GTEST_SKIP() << "sanitizers need far more address space than the limits tried";
#else
  if (!fs::exists("/usr/bin/prlimit") && std::getenv("TARVIK_TOOLS_REQUIRED") == nullptr) {
    GTEST_SKIP() << "prlimit (Debian package util-linux) is missing";
  }
  struct MemoryCase {
    const char* jobs;
    const char* seen;  // what the scan must meet below the limit where the batch succeeds
  };
  const MemoryCase cases[] = {
      {"1", "the rows before line 21\n"},
      {"8", "the rows before line 21\nthe rows before line 21, later pages made\n"},
  };
  for (const MemoryCase& c : cases) {
    const Scratch scratch;
    scratch.Write("in.txt", Lines(kPuzzle, 20) + Lines(kLongest, 1) + Lines(kPuzzle, 20));
    // Every row, with line 21's (worked out elsewhere) as HEAVY.
    std::string rows = kHeader;
    for (int line = 1; line <= 41; ++line) rows += line == 21 ? "HEAVY\n" : Row("in.txt", line);
    scratch.Write("expected.txt", rows);
    const Outcome out = scratch.RunScript(
        std::string(
            "for kb in $(seq 2048 128 131072); do\n"
            "  rm -rf v\n"
            "  { /usr/bin/prlimit --stack=524288 --as=$((kb * 1024)) \"$1\" --batch -q -j") +
        c.jobs +
        " --views=v in.txt > rows.txt 2> errors.txt\n"
        "    status=$?; } 2> /dev/null\n"
        "  [ -d v ] && [ -n \"$(ls -A v | grep '^[.]')\" ] && { echo \"left at $kb\" >&2; exit 10; "
        "}\n"
        "  # whole rows, in order, each as expected\n"
        "  sed '22s/.*/HEAVY/' rows.txt | cmp -s - <(head -n $(wc -l < rows.txt) expected.txt) ||\n"
        "    { echo \"rows at $kb KB\" >&2; exit 12; }\n"
        "  case $status in\n"
        "    71) cmp -s errors.txt <(printf 'tarvik: out of memory\\n') || exit 11; seen=1\n"
        "        if [ $(wc -l < rows.txt) = 21 ]; then\n"
        "          alone=1\n"
        "          ls v | grep -qE '^in-(2[2-9]|[34][0-9])[.]html$' && later=1\n"
        "        fi ;;\n"
        "    0) [ $(wc -l < rows.txt) = 42 ] || exit 13\n"
        "       [ -n \"$alone\" ] && echo 'the rows before line 21'\n"
        "       [ -n \"$later\" ] && echo 'the rows before line 21, later pages made'\n"
        "       exit $((seen ? 0 : 14)) ;;\n"
        "    *) if [ -z \"$seen\" ] && [ $status = 127 -o $status -ge 128 ]; then continue; fi\n"
        "       echo \"status $status at $kb KB: $(head -c 200 errors.txt)\" >&2; exit 15 ;;\n"
        "  esac\n"
        "done\n"
        "exit 16\n");
    EXPECT_EQ(out.status, 0) << c.jobs << " jobs: " << out.errors;
    EXPECT_EQ(out.console, c.seen) << c.jobs << " jobs";
  }
#endif
}

// As many threads as asked for under the usual limit of open files, each writing report files.
TEST(BatchFilesTest, ManyThreadsStayWithinTheOpenFileLimit) {
  const Scratch scratch;
  scratch.Write("mixed.txt", BatchCase("mixed.txt"));
  const Outcome out = scratch.RunScript(
      "ulimit -n 1024 && \"$1\" --batch --quiet --jobs=1024 --reports=r mixed.txt > rows.txt\n");
  EXPECT_EQ(out.status, 65);
  EXPECT_EQ(scratch.Read("rows.txt"), BatchCase("mixed.tsv.expected"));
  const auto files =
      std::distance(fs::directory_iterator(scratch.path() / "r"), fs::directory_iterator());
  EXPECT_EQ(files, 19);
}

TEST(BatchFilesTest, NamesInMessagesAreEscapedAndCut) {
  const Scratch scratch;
  const std::string longName(250, 'n');
  const Outcome out =
      scratch.RunScript("\"$1\" --batch -q $'no\\e[31m\\\\such' " + longName + " afile/x\n");
  EXPECT_EQ(out.status, 66);
  EXPECT_EQ(out.errors,
            "tarvik: no\\x1b[31m\\x5csuch: No such file or directory\n"
            "tarvik: " +
                std::string(200, 'n') +
                "...: No such file or directory\n"
                "tarvik: afile/x: No such file or directory\n");
  scratch.Write("afile", "");
  const Outcome folder = scratch.Run("--batch -q --reports=afile afile");
  EXPECT_EQ(folder.status, 73);
  EXPECT_EQ(folder.errors, "tarvik: afile: Not a directory\n");
  const Outcome page = scratch.RunScript("\"$1\" --batch -q --overview=$'none/p\\e' afile\n");
  EXPECT_EQ(page.status, 73);
  EXPECT_EQ(page.errors, "tarvik: none/p\\x1b: No such file or directory\n");
}

}  // namespace
}  // namespace tarvik::e2e
