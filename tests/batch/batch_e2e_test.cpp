// SPDX-License-Identifier: MIT
// Runs the built program's batch mode in scratch directories and compares its rows, messages,
// statuses and report files, byte for byte, with expectations worked out from the rules
// (tests/batch/cases/, whose README says how).
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

// The parameters of params.tsv.expected.
const std::string kParams = "--look-back=2 --steps=25 --sequence=132";

// A scratch directory holding the collections of the cases.
class BatchScratch : public Scratch {
 public:
  BatchScratch() {
    for (const char* name : {"mixed.txt", "four.txt", "params.txt"}) Write(name, BatchCase(name));
  }
};

TEST(BatchTest, RowsMessagesAndStatusOfEveryKindOfLine) {
  const BatchScratch scratch;
  const Outcome rows = scratch.Run("--batch --jobs=1 mixed.txt");
  EXPECT_EQ(rows.status, 65);
  ExpectSameText(rows.console, BatchCase("mixed.tsv.expected"), "standard output");
  EXPECT_TRUE(rows.errors.starts_with(BatchCase("mixed.stderr.expected"))) << rows.errors;
  // Without --quiet a summary follows the messages: one line, for people.
  EXPECT_NE(rows.errors.find("\ntarvik: 19 puzzles, 11 refused, in "), std::string::npos);
  EXPECT_TRUE(
      rows.errors.ends_with(": 9 solved, 2 step-limit, 5 no-further-guesses, 3 no-solution\n"));

  const Outcome quiet = scratch.Run("--batch --quiet mixed.txt");
  EXPECT_EQ(quiet.status, 65);
  ExpectSameText(quiet.errors, BatchCase("mixed.stderr.expected"), "standard error");
}

// Rows keep the input's order however many threads grade them, on a collection whose solve times
// vary from one step to thousands.
TEST(BatchTest, ThreadsKeepTheInputOrder) {
  const BatchScratch scratch;
  for (const char* jobs : {"2", "3", "8", "0"}) {
    const Outcome out = scratch.Run(std::string("--batch --jobs=") + jobs + " mixed.txt");
    EXPECT_EQ(out.status, 65) << jobs;
    ExpectSameText(out.console, BatchCase("mixed.tsv.expected"), std::string("jobs ") + jobs);
  }
}

// The solutions field: counted for every puzzle whatever its outcome, empty on refused rows.
TEST(BatchTest, SolutionsAreCountedForEveryPuzzle) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --solutions --quiet --jobs=3 mixed.txt");
  EXPECT_EQ(out.status, 65);
  ExpectSameText(out.console, BatchCase("mixed-solutions.tsv.expected"), "standard output");
  ExpectSameText(out.errors, BatchCase("mixed.stderr.expected"), "standard error");
}

TEST(BatchTest, ParametersShapeEveryRow) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --jobs=1 " + kParams + " params.txt");
  EXPECT_EQ(out.status, 0);
  ExpectSameText(out.console, BatchCase("params.tsv.expected"), "standard output");
}

// The lines of `text`, each split at its tabs.
std::vector<std::vector<std::string>> Fields(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields(1);
    for (const char c : line) {
      if (c == '\t') {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    rows.push_back(std::move(fields));
  }
  return rows;
}

// A sweep's rows are the rows of the one-set batches it replaces, field by field: each line's
// rows in set order (look-back, then steps, then sequence), the set after the line, a refused
// line once with an empty set, the solutions in every row; however many threads work them. Its
// summary names the set with most solved, then fewest steps, and gives that set's counts.
TEST(BatchTest, SweepRowsAreTheOneSetBatchesRows) {
  const BatchScratch scratch;
  const std::vector<std::vector<std::string>> sets = {
      {"2", "25", "132"}, {"2", "25", "21"}, {"2", "8", "132"},  {"2", "8", "21"},
      {"2", "40", "132"}, {"2", "40", "21"}, {"5", "25", "132"}, {"5", "25", "21"},
      {"5", "8", "132"},  {"5", "8", "21"},  {"5", "40", "132"}, {"5", "40", "21"}};
  std::vector<std::vector<std::vector<std::string>>> alone;
  std::vector<std::int64_t> solved(sets.size());
  std::vector<std::int64_t> steps(sets.size());
  for (std::size_t k = 0; k < sets.size(); ++k) {
    const Outcome out =
        scratch.Run("--batch --quiet --solutions --jobs=1 --look-back=" + sets[k][0] +
                    " --steps=" + sets[k][1] + " --sequence=" + sets[k][2] + " mixed.txt");
    EXPECT_EQ(out.status, 65);
    alone.push_back(Fields(out.console));
    for (std::size_t row = 1; row < alone[k].size(); ++row) {
      if (alone[k][row][3] == "solved") ++solved[k];
      if (alone[k][row][3] != "refused") steps[k] += std::stoll(alone[k][row][5]);
    }
  }
  std::vector<std::vector<std::string>> expected;
  for (std::size_t row = 0; row < alone[0].size(); ++row) {
    for (std::size_t k = 0; k < sets.size(); ++k) {
      std::vector<std::string> fields = alone[k][row];
      const bool refused = fields[3] == "refused";
      fields.insert(fields.begin() + 2, row == 0 ? "set"
                                        : refused
                                            ? ""
                                            : sets[k][0] + "/" + sets[k][1] + "/" + sets[k][2]);
      expected.push_back(std::move(fields));
      if (row == 0 || refused) break;
    }
  }
  std::size_t best = 0;
  for (std::size_t k = 1; k < sets.size(); ++k) {
    if (solved[k] > solved[best] || (solved[k] == solved[best] && steps[k] < steps[best])) best = k;
  }
  for (const char* jobs : {"1", "2", "8"}) {
    const Outcome out = scratch.Run(std::string("--batch --solutions --jobs=") + jobs +
                                    " --look-back=2,5 --steps=25,8,40 --sequence=132,21,132"
                                    " mixed.txt");
    EXPECT_EQ(out.status, 65);
    EXPECT_EQ(Fields(out.console), expected) << jobs;
    EXPECT_NE(
        out.errors.find("tarvik: 12 parameter sets, the best is set " + std::to_string(best + 1) +
                        ": " + sets[best][0] + "/" + sets[best][1] + "/" + sets[best][2] +
                        " with " + std::to_string(steps[best]) +
                        " steps: " + std::to_string(solved[best]) + " solved, "),
        std::string::npos)
        << out.errors;
  }
  // In JSON lines the set is a string; a refused line's is null.
  const Outcome json =
      scratch.Run("--batch --quiet --format=jsonl --steps=8,25 --sequence=132 mixed.txt");
  EXPECT_NE(json.console.find("\"line\":3,\"set\":\"4/8/132\",\"puzzle\""), std::string::npos);
  EXPECT_NE(json.console.find("\"line\":3,\"set\":\"4/25/132\",\"puzzle\""), std::string::npos);
  EXPECT_NE(json.console.find("\"set\":null,\"puzzle\":null,\"outcome\":\"refused\""),
            std::string::npos);
}

// A sweep's line is worked on several threads at once, in parts: where its first set takes a
// thousand times as long as its last, its rows still come in set order and each line's before the
// next line's, with files written (a part for each set) or not (one for each run).
TEST(BatchTest, SweepRowsKeepTheSetOrderWhenTheSetsTakeVeryUnequalTimes) {
  const Scratch scratch;
  // About 40,000 steps at look-back 20 in the default sequence, a few thousand with the first
  // technique alone, and one attempt at look-back 39; then a puzzle solved in six steps.
  const std::string slow =
      "000000000003600000005090000000030006000840000287100000500000000400020007700000000";
  const std::string quick =
      "003020600900305001001806400008102900700000008006708200002609500800203009005010300";
  std::string input;
  for (int k = 0; k < 6; ++k) input += (k % 2 == 0 ? slow : quick) + "\n";
  scratch.Write("uneven.txt", input);
  const std::vector<std::vector<std::string>> sets = {
      {"20", "4123"}, {"20", "1"}, {"39", "4123"}, {"39", "1"}};
  std::vector<std::vector<std::vector<std::string>>> alone;
  for (const std::vector<std::string>& set : sets) {
    const Outcome out = scratch.Run("--batch --quiet --no-header --jobs=1 --look-back=" + set[0] +
                                    " --sequence=" + set[1] + " uneven.txt");
    EXPECT_EQ(out.status, 0);
    alone.push_back(Fields(out.console));
  }
  std::vector<std::vector<std::string>> expected;
  for (std::size_t row = 0; row < alone[0].size(); ++row) {
    for (std::size_t k = 0; k < sets.size(); ++k) {
      std::vector<std::string> fields = alone[k][row];
      fields.insert(fields.begin() + 2, sets[k][0] + "/40/" + sets[k][1]);
      expected.push_back(std::move(fields));
    }
  }
  ASSERT_EQ(expected.size(), 24U);
  for (const char* options : {"--jobs=2", "--jobs=8", "--jobs=8 --reports=r"}) {
    const Outcome out = scratch.Run(std::string("--batch --quiet --no-header ") + options +
                                    " --look-back=20,39 --sequence=4123,1 uneven.txt");
    EXPECT_EQ(out.status, 0) << options;
    EXPECT_EQ(Fields(out.console), expected) << options;
  }
}

// Each report file is the Sudout.txt of the classic run of that puzzle, at each print level.
TEST(BatchTest, ReportFilesAreTheClassicReports) {
  const BatchScratch scratch;
  for (const char* level : {"0", "2", "3"}) {
    const std::string dir = std::string("reports-level") + level;
    const Outcome out = scratch.Run("--batch --jobs=3 --quiet --reports=" + dir +
                                    " --print-level=" + level + " four.txt");
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.errors, "");
    ExpectSameText(out.console, BatchCase("four.tsv.expected"), "standard output");
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(scratch.path() / dir)) {
      written.insert(entry.path().filename().string());
      ExpectSameText(ReadFile(entry.path()),
                     BatchCase(dir + "/" + entry.path().filename().string()),
                     entry.path().filename().string());
    }
    EXPECT_EQ(written,
              (std::set<std::string>{"four-2.txt", "four-3.txt", "four-4.txt", "four-5.txt"}));
  }
}

// In a sweep each set's report file is its own run's, named NAME-LINE-K: the report of a one-set
// batch with that set's parameters.
TEST(BatchTest, SweepReportFilesAreEachSetsOwnRun) {
  const BatchScratch scratch;
  const Outcome out =
      scratch.Run("--batch --jobs=2 --quiet --reports=sweep --print-level=3 --steps=7,40 four.txt");
  EXPECT_EQ(out.status, 0);
  const Outcome alone =
      scratch.Run("--batch --jobs=2 --quiet --reports=alone --print-level=3 --steps=7 four.txt");
  EXPECT_EQ(alone.status, 0);
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(scratch.path() / "sweep")) {
    written.insert(entry.path().filename().string());
  }
  EXPECT_EQ(written, (std::set<std::string>{"four-2-1.txt", "four-2-2.txt", "four-3-1.txt",
                                            "four-3-2.txt", "four-4-1.txt", "four-4-2.txt",
                                            "four-5-1.txt", "four-5-2.txt"}));
  for (const char* line : {"2", "3", "4", "5"}) {
    const std::string stem = std::string("four-") + line;
    ExpectSameText(scratch.Read("sweep/" + stem + "-1.txt"), scratch.Read("alone/" + stem + ".txt"),
                   stem + "-1.txt");
    ExpectSameText(scratch.Read("sweep/" + stem + "-2.txt"),
                   BatchCase("reports-level3/" + stem + ".txt"), stem + "-2.txt");
  }
}

// The Sudin.txt of a classic run of `puzzle` (81 cells) at print level `level` with look-back
// `lookBack`, `steps` steps and `sequence` repeated from its start to fill them.
std::string ClassicInput(const std::string& puzzle, int level, const std::string& lookBack,
                         int steps, const std::string& sequence) {
  std::string input;
  for (std::size_t cell = 0; cell < 81; ++cell) {
    input.append(1, puzzle[cell]).append(cell % 9 == 8 ? "\n" : " ");
  }
  input += std::to_string(level) + " " + lookBack + " " + std::to_string(steps) + "\n";
  for (int k = 0; k < steps; ++k) {
    input.append(1, sequence[static_cast<std::size_t>(k) % sequence.size()]).append(" ");
  }
  return input + "\n";
}

// The names of the files in `dir`.
std::set<std::string> FilesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A sweep writes a page and a report file per set of each puzzle line, NAME-LINE-K, and none for
// a refused line: each report is the classic run's Sudout.txt under that set's parameters, each
// page the one-set batch's page of that line with the set named in its title and heading.
TEST(BatchTest, SweepPagesAndReportFilesAreEachSetsOwn) {
  const BatchScratch scratch;
  std::vector<std::string> puzzles;  // lines 2 to 5 of four.txt
  std::istringstream four(BatchCase("four.txt"));
  for (std::string line; std::getline(four, line);) {
    if (!line.starts_with("#")) puzzles.push_back(line);
  }
  ASSERT_EQ(puzzles.size(), 4u);
  // Line 2 is refused; lines 1, 3 and 4 hold puzzles of different outcomes.
  scratch.Write("sweep.txt", puzzles[0] + "\n123\n" + puzzles[1] + "\n" + puzzles[3] + "\n");
  const std::vector<std::pair<int, std::string>> lines = {
      {1, puzzles[0]}, {3, puzzles[1]}, {4, puzzles[3]}};
  // Set K, from 1: look-back slowest, sequence fastest.
  const std::vector<std::vector<std::string>> sets = {
      {"2", "132"}, {"2", "4123"}, {"5", "132"}, {"5", "4123"}};
  const Outcome out = scratch.Run(
      "--batch --quiet --jobs=2 --views=v --reports=r --print-level=2 --look-back=2,5 "
      "--steps=25 --sequence=132,4123 sweep.txt");
  EXPECT_EQ(out.status, 65);
  EXPECT_EQ(out.errors, "tarvik: sweep.txt:2: puzzle: found 3 bytes, expected 81\n");

  std::set<std::string> pages = {"index.html"};
  std::set<std::string> reports;
  for (std::size_t k = 0; k < sets.size(); ++k) {
    const std::string& lookBack = sets[k][0];
    const std::string& sequence = sets[k][1];
    const std::string set = std::to_string(k + 1);
    const std::string name = "set " + set + ": " + lookBack + "/25/" + sequence;
    const std::string dir = "alone" + set;
    EXPECT_EQ(scratch
                  .Run("--batch --quiet --jobs=2 --views=" + dir + " --reports=" + dir +
                       " --print-level=2 --look-back=" + lookBack +
                       " --steps=25 --sequence=" + sequence + " sweep.txt")
                  .status,
              65);
    for (const auto& [line, puzzle] : lines) {
      const std::string stem = "sweep-" + std::to_string(line);
      const std::string where = stem + "-" + set;
      pages.insert(where + ".html");
      reports.insert(where + ".txt");

      const std::string run = "run-" + where;
      fs::create_directory(scratch.path() / run);
      scratch.Write(run + "/Sudin.txt", ClassicInput(puzzle, 2, lookBack, 25, sequence));
      EXPECT_EQ(scratch.Run("-C " + run, "> /dev/null").status, 0) << where;
      ExpectSameText(scratch.Read("r/" + where + ".txt"), scratch.Read(run + "/Sudout.txt"),
                     where + ".txt");

      std::string page = scratch.Read("v/" + where + ".html");
      const std::string fileLine = "sweep.txt:" + std::to_string(line);
      const std::string title = "<title>tarvik: " + fileLine + ", " + name + " - ";
      const std::string heading =
          "<h1><span>tarvik run of</span> " + fileLine + ", " + name + "</h1>";
      for (const std::string& named : {title, heading}) {
        const std::size_t at = page.find(named);
        ASSERT_NE(at, std::string::npos) << where << ": " << named;
        page.erase(at + named.find(", set "), name.size() + 2);
      }
      EXPECT_TRUE(page == scratch.Read(dir + "/" + stem + ".html")) << where;
    }
  }
  EXPECT_EQ(FilesIn(scratch.path() / "v"), pages);
  EXPECT_EQ(FilesIn(scratch.path() / "r"), reports);
}

// The overview of a sweep links each puzzle to its sets' pages, NAME-LINE-K.html: every link of
// DIR/index.html, and of the --overview FILE in a folder of its own, leads to a written page.
TEST(BatchTest, SweepOverviewLinksLeadToWrittenPages) {
  const BatchScratch scratch;
  fs::create_directory(scratch.path() / "out");
  const Outcome out = scratch.Run(
      "--batch --quiet --jobs=2 --steps=7,40 --sequence=4123,1234 --views=v "
      "--overview=out/o.html mixed.txt");
  EXPECT_EQ(out.status, 65);
  const auto linksOf = [](const std::string& page) {
    std::vector<std::string> links;
    const std::string start = "<a href=\"";
    for (std::size_t at = page.find(start); at != std::string::npos;
         at = page.find(start, at + 1)) {
      const std::size_t from = at + start.size();
      links.push_back(page.substr(from, page.find('"', from) - from));
    }
    return links;
  };
  struct Case {
    const char* page;
    const char* folder;
    std::size_t least;  // links at least: the hardest's and the first sets' of unsolved puzzles
  };
  for (const Case& c : {Case{"v/index.html", "v", 19}, {"out/o.html", "out", 19}}) {
    const std::string page = scratch.Read(c.page);
    EXPECT_NE(page.find("id=\"parameter-sets\""), std::string::npos) << c.page;
    const std::vector<std::string> links = linksOf(page);
    EXPECT_GE(links.size(), c.least) << c.page;
    std::set<std::string> sets;
    for (const std::string& link : links) {
      EXPECT_TRUE(fs::is_regular_file(scratch.path() / c.folder / link)) << c.page << ": " << link;
      sets.insert(link.substr(link.rfind('-')));
    }
    // Pages of more than one set are linked, and only the sweep's NAME-LINE-K.html ones.
    EXPECT_GT(sets.size(), 1U) << c.page;
    for (const std::string& set : sets) {
      EXPECT_TRUE(set == "-1.html" || set == "-2.html" || set == "-3.html" || set == "-4.html")
          << set;
    }
  }
}

// Refused lines among puzzles of very different cost, on several threads: every puzzle still gets
// its report file.
TEST(BatchTest, EveryPuzzleGetsItsReportFileOnSeveralThreads) {
  const BatchScratch scratch;
  std::string many;
  for (int k = 0; k < 30; ++k) many += BatchCase("mixed.txt") + "\n";
  scratch.Write("many.txt", many);
  for (const char* jobs : {"3", "8"}) {
    const std::string dir = std::string("reports-") + jobs;
    const Outcome out = scratch.Run(std::string("--batch --quiet --jobs=") + jobs +
                                    " --reports=" + dir + " many.txt");
    EXPECT_EQ(out.status, 65) << jobs;
    const auto files =
        std::distance(fs::directory_iterator(scratch.path() / dir), fs::directory_iterator());
    EXPECT_EQ(files, 30 * 19) << jobs << " threads";
  }
}

TEST(BatchTest, StandardInputIsNamedWithADash) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --jobs=2 --no-header " + kParams + " - < params.txt");
  const std::string expected = BatchCase("params.tsv.expected");
  std::string rows;
  for (std::size_t at = expected.find('\n') + 1; at < expected.size();) {
    const std::size_t end = expected.find('\n', at) + 1;
    rows.append(1, '-').append(expected, at + 10, end - at - 10);  // "params.txt" becomes "-"
    at = end;
  }
  EXPECT_EQ(out.status, 0);
  ExpectSameText(out.console, rows, "standard output");
}

TEST(BatchTest, EmptyInputGivesTheHeaderAlone) {
  const Scratch scratch;
  scratch.Write("comments.txt", "# nothing but a comment\n\n   \n");
  const Outcome out = scratch.Run("--batch --quiet comments.txt - < /dev/null");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.console, "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n");
  EXPECT_EQ(out.errors, "");
}

TEST(BatchTest, UnreadableFileIsNamedAndTheOthersAreStillGraded) {
  const BatchScratch scratch;
  fs::create_directory(scratch.path() / "folder.txt");
  const Outcome out =
      scratch.Run("--batch --quiet --no-header " + kParams + " missing.txt params.txt folder.txt");
  EXPECT_EQ(out.status, 66);
  EXPECT_EQ(out.errors,
            "tarvik: missing.txt: No such file or directory\n"
            "tarvik: folder.txt: Is a directory\n");
  const std::string expected = BatchCase("params.tsv.expected");
  ExpectSameText(out.console, expected.substr(expected.find('\n') + 1), "standard output");
}

TEST(BatchTest, ReportFolderThatCannotBeMadeStopsBeforeReading) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --reports=no/such/folder params.txt");
  EXPECT_EQ(out.status, 73);
  EXPECT_EQ(out.errors, "tarvik: no/such/folder: No such file or directory\n");
  EXPECT_EQ(out.console, "");
}

// A reader that goes (head) ends the batch at once: quietly, as other filters do, unless report
// files are being written, which are then left unwritten and so are named.
TEST(BatchTest, ClosedPipeStopsTheBatchQuietlyUnlessFilesAreWritten) {
  const BatchScratch scratch;
  for (const std::string options : {"", "--reports=r ", "--overview=o.html "}) {
    const Outcome out = scratch.RunScript(
        "for k in $(seq 400); do cat params.txt; done > many.txt\n"
        "\"$1\" --batch " +
        options +
        "many.txt 2> err.txt | head -c 1 > /dev/null\n"
        "status=${PIPESTATUS[0]}\n"
        "cat err.txt >&2\n"
        "exit $status\n");
    EXPECT_EQ(out.status, 74) << options;
    EXPECT_EQ(out.errors,
              options.empty() ? "" : "tarvik: write error on standard output: Broken pipe\n")
        << options;
  }
}

// -C DIR is the classic run, exactly as cd DIR && tarvik.
TEST(BatchTest, DirectoryOptionRunsTheClassicRunThere) {
  const Scratch scratch;
  const fs::path dir = fs::path(TARVIK_CASES_DIR) / "one_guess_level3";
  fs::create_directory(scratch.path() / "run");
  fs::copy_file(dir / "Sudin.txt", scratch.path() / "run" / "Sudin.txt");
  const Outcome out = scratch.Run("-C run");
  EXPECT_EQ(out.status, 0);
  ExpectSameText(out.console, ReadFile(dir / "stdout.expected"), "standard output");
  ExpectSameText(scratch.Read("run/Sudout.txt"), ReadFile(dir / "Sudout.expected"), "Sudout.txt");

  const Outcome missing = scratch.Run("-C nowhere");
  EXPECT_EQ(missing.status, 66);
  EXPECT_EQ(missing.errors, "tarvik: nowhere: No such file or directory\n");
}

}  // namespace
}  // namespace tarvik::e2e
