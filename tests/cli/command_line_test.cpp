// SPDX-License-Identifier: MIT
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/entry.h"
#include "support/run_in_memory.h"

namespace tarvik::cli {
namespace {

using testing::MemoryFiles;
using testing::RunProgram;
using testing::RunResult;

constexpr std::string_view kTry = "Try 'tarvik --help' for more information.\n";

// Every refusal is one quoted line and the pointer to --help, with nothing read or written.
TEST(CommandLineTest, RefusedCommandLinesSayWhatWasFoundAndExpected) {
  // A field name can match only without the bytes that end a field.
  const std::string ranged =
      ", expected a range A-B or A-B/S of unsigned integers from 5 to 100, B at least A, S 1 or "
      "more";
  const std::string fieldName =
      "expected a field name without blanks, tabs, CR, LF or any of , ; : |";
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"-x"}, "found option \"-x\", expected one that --help lists"},
      {{"-xh"}, "found option \"-x\" in \"-xh\", expected one that --help lists"},
      {{"--batch", "-qx"}, "found option \"-x\" in \"-qx\", expected one that --help lists"},
      {{"--batch", "-qj"}, "-j: found the end of the arguments, expected a value"},
      {{"--batch", "-j2q"}, "-j: found \"2q\", expected an integer from 0 to 1024"},
      {{"-qC", "d"}, "found option \"-q\", expected it only with --batch"},
      {{"Sudin.txt"}, "found argument \"Sudin.txt\", expected none, --help or --version"},
      {{""}, "found argument \"\", expected none, --help or --version"},
      {{"a\nb"}, "found argument \"a\\x0ab\", expected none, --help or --version"},
      {{"\x1b[31mred"}, "found argument \"\\x1b[31mred\", expected none, --help or --version"},
      {{std::string(100000, 'x')},
       "found argument \"xxxxxxxxxxxxxxxxxxxx...\", expected none, --help or --version"},
      {{"say \"\\\""},
       "found argument \"say \\x22\\x5c\\x22\", expected none, --help or --version"},
      {{"--steps=7"}, "found option \"--steps\", expected it only with --batch"},
      {{"--views", "d"}, "found option \"--views\", expected it only with --batch"},
      {{"--batch", "-C", "d"}, "found option \"-C\", expected it only without --batch"},
      {{"--view=p.html", "--batch"}, "found option \"--view\", expected it only without --batch"},
      {{"--batch", "--print-level=2"},
       "found option \"--print-level\", expected it only with --reports"},
      {{"--batch", "--steps=200"}, "--steps: found \"200\", expected an integer from 5 to 100"},
      {{"--batch", "--steps", "7x"}, "--steps: found \"7x\", expected an integer from 5 to 100"},
      {{"--batch", "--steps="}, "--steps: found \"\", expected an integer from 5 to 100"},
      {{"--batch", "--look-back=1e3"},
       "--look-back: found \"1e3\", expected an integer of 1 or more"},
      {{"--batch", "--look-back=0"}, "--look-back: found \"0\", expected an integer of 1 or more"},
      {{"--batch", "--jobs=1025"}, "--jobs: found \"1025\", expected an integer from 0 to 1024"},
      // Lists: the item at fault is named, within its list; ranges are unsigned, B >= A, S >= 1.
      {{"--batch", "--steps=10,200"},
       "--steps: found \"200\" in \"10,200\", expected an integer from 5 to 100"},
      {{"--batch", "--steps=10,"},
       "--steps: found \"\" in \"10,\", expected an integer from 5 to 100"},
      {{"--batch", "--steps=5-101"}, "--steps: found \"5-101\"" + ranged},
      {{"--batch", "--steps=4-10"}, "--steps: found \"4-10\"" + ranged},
      {{"--batch", "--steps=20-10"}, "--steps: found \"20-10\"" + ranged},
      {{"--batch", "--steps=10-20/0"}, "--steps: found \"10-20/0\"" + ranged},
      {{"--batch", "--steps=10-20/"}, "--steps: found \"10-20/\"" + ranged},
      {{"--batch", "--steps=+10-20"}, "--steps: found \"+10-20\"" + ranged},
      {{"--batch", "--steps=10-20-30"}, "--steps: found \"10-20-30\"" + ranged},
      {{"--batch", "--look-back=1,0-3"},
       "--look-back: found \"0-3\" in \"1,0-3\", expected a range A-B or A-B/S of unsigned "
       "integers of 1 or more, B at least A, S 1 or more"},
      {{"--batch", "--sequence=12,15"},
       "--sequence: found \"15\" in \"12,15\", expected 1 to 100 technique codes, each 1 to 4"},
      {{"--batch", "--sequence=perm:"},
       "--sequence: found \"perm:\", expected perm: and 1 to 100 technique codes, each 1 to 4"},
      // More than 10000 sets, counted before any is listed: the value that passes the bound.
      {{"--batch", "--look-back=1-4000000000"},
       "--look-back: found \"1-4000000000\", expected a range A-B or A-B/S of unsigned integers "
       "of 1 or more, B at least A, S 1 or more"},
      {{"--batch", "--look-back=1-1000000000"},
       "--look-back: found \"1-1000000000\", expected at most 10000 parameter sets in all"},
      {{"--batch", "--look-back=1-105", "--steps=5-100"},
       "--steps: found \"5-100\", expected at most 10000 parameter sets in all"},
      {{"--batch", "--sequence=perm:1234,perm:11223344", "--look-back=1-4"},
       "--look-back: found \"1-4\", expected at most 10000 parameter sets in all"},
      {{"--batch", "--sequence=1,perm:1234123412"},
       "--sequence: found \"perm:1234123412\" in \"1,perm:1234123412\", expected at "
       "most 10000 parameter sets in all"},
      {{"--batch", "--steps=5-9", "--keep=set", "a.txt"},
       "--keep: found \"set\", expected a name other than the row's own fields"},
      {{"--batch", "--print-level=2147483648", "--reports=d"},
       "--print-level: found \"2147483648\", expected an integer"},
      {{"--batch", "--sequence=4125"},
       "--sequence: found \"4125\", expected 1 to 100 technique codes, each 1 to 4"},
      {{"--batch", "--sequence="},
       "--sequence: found \"\", expected 1 to 100 technique codes, each 1 to 4"},
      {{"--batch", "--steps"}, "--steps: found the end of the arguments, expected a value"},
      {{"--batch", "--quiet=yes"},
       "found option \"--quiet=yes\", expected --quiet without a value"},
      {{"--batch", "--reports="},
       "--reports: found \"\", expected a folder name other than -, not empty and without tabs, CR "
       "or LF"},
      {{"--batch", "--reports=-"},
       "--reports: found \"-\", expected a folder name other than -, not empty and without tabs, "
       "CR or LF"},
      {{"--batch", "--views", "-"},
       "--views: found \"-\", expected a folder name other than -, not empty and without tabs, CR "
       "or LF"},
      {{"--view="},
       "--view: found \"\", expected a file name, not empty and without tabs, CR or LF"},
      {{"--view=a\tb"},
       "--view: found \"a\\x09b\", expected a file name, not empty and without tabs, CR or LF"},
      {{"--batch", "a\rb.txt"},
       "found operand \"a\\x0db.txt\", expected a file name, not empty and without tabs, CR or LF"},
      {{"--batch", "--reports=r", "x/a.txt", "y/a.sdk"},
       "found operands \"x/a.txt\" and \"y/a.sdk\", expected operands whose report names differ "
       "(both are \"a\")"},
      {{"--batch", "--views=r", "-", "stdin.txt"},
       "found operands \"-\" and \"stdin.txt\", expected operands whose report names differ "
       "(both are \"stdin\")"},
      {{"--field=2"}, "found option \"--field\", expected it only with --batch"},
      {{"--batch", "--field=0"},
       "--field: found \"0\", expected a field number from 1 to 4294967295, or a field name"},
      {{"--batch", "--field", "+2"},
       "--field: found \"+2\", expected a field number from 1 to 4294967295, or a field name"},
      {{"--batch", "--field=-2"},
       "--field: found \"-2\", expected a field number from 1 to 4294967295, or a field name"},
      {{"--batch", "--field=4294967296"},
       "--field: found \"4294967296\", expected a field number from 1 to 4294967295, or a field "
       "name"},
      {{"--batch", "--field="},
       "--field: found \"\", expected a field number from 1 to 4294967295, or a field name"},
      {{"--batch", "--field=id puzzle"}, "--field: found \"id puzzle\", " + fieldName},
      {{"--batch", "--field=\tpuzzle"}, "--field: found \"\\x09puzzle\", " + fieldName},
      {{"--batch", "--field=puzzle\r"}, "--field: found \"puzzle\\x0d\", " + fieldName},
      {{"--batch", "--field=id,puzzle"}, "--field: found \"id,puzzle\", " + fieldName},
      {{"--batch", "--field=id;puzzle"}, "--field: found \"id;puzzle\", " + fieldName},
      {{"--batch", "--field=id:puzzle"}, "--field: found \"id:puzzle\", " + fieldName},
      {{"--batch", "--field", "|puzzle"}, "--field: found \"|puzzle\", " + fieldName},
      {{"--batch", "--views=v", "top.csv.gz", "top.CSV"},
       "found operands \"top.csv.gz\" and \"top.CSV\", expected operands whose report names "
       "differ (both are \"top\")"},
      {{"--batch", "--reports=r", "a.txt", "a.txt"},
       "found operands \"a.txt\" and \"a.txt\", expected operands whose report names differ "
       "(both are \"a\")"},
  };
  for (const auto& c : cases) {
    MemoryFiles files;
    files.files["Sudin.txt"] = "not read";
    const RunResult r = RunProgram(c.args, files);
    EXPECT_EQ(r.status, ExitStatus::kUsage) << c.message;
    EXPECT_EQ(r.errors, "tarvik: " + c.message + "\n" + std::string(kTry));
    EXPECT_EQ(r.console, "");
    EXPECT_TRUE(files.opened.empty());
  }
}

TEST(CommandLineTest, OptionsTakeTheirValueInEitherFormAndTheLastRepeatWins) {
  const std::vector<std::string_view> args = {
      "a.txt", "--steps=007", "--batch",  "--look-back", "+2",      "--steps",
      "9",     "-j3",         "--jobs=2", "--sequence",  "31",      "--no-header",
      "-q",    "--reports",   "out",      "--",          "--batch", "-"};
  const auto parsed = ParseCommandLine(args);
  ASSERT_TRUE(std::holds_alternative<Command>(parsed)) << std::get<UsageError>(parsed).message;
  const Command& command = std::get<Command>(parsed);
  EXPECT_EQ(command.mode, Command::Mode::kBatch);
  EXPECT_EQ(command.batch.steps, 9);
  EXPECT_EQ(command.batch.lookBack, 2);
  EXPECT_EQ(command.batch.jobs, 2u);
  EXPECT_EQ(command.batch.sequence, "31");
  EXPECT_FALSE(command.batch.header);
  EXPECT_TRUE(command.batch.quiet);
  EXPECT_EQ(command.batch.reportsDir, "out");
  EXPECT_EQ(command.batch.operands, (std::vector<std::string>{"a.txt", "--batch", "-"}));
}

// Lists of values and ranges, with repeats left out; perm:CODES in ascending order; the sets
// numbered with the look-back slowest and the sequence fastest.
TEST(CommandLineTest, ParameterListsGiveEveryCombinationInOrder) {
  const struct {
    std::vector<std::string_view> args;
    std::vector<std::int32_t> lookBacks;
    std::vector<std::int32_t> steps;
    std::vector<std::string> sequences;
    std::vector<std::string> labels;  // the first sets', in order
  } cases[] = {
      {{"--batch"}, {4}, {40}, {"4123"}, {"4/40/4123"}},
      {{"--batch", "--steps=+07"}, {4}, {7}, {"4123"}, {"4/7/4123"}},
      {{"--batch", "--steps=10-30/10,20,5"}, {4}, {10, 20, 30, 5}, {"4123"}, {"4/10/4123"}},
      {{"--batch", "--steps=95-100/2"}, {4}, {95, 97, 99}, {"4123"}, {}},
      {{"--batch", "--steps=100-100"}, {4}, {100}, {"4123"}, {}},
      {{"--batch", "--look-back=3,1-2,3"}, {3, 1, 2}, {40}, {"4123"}, {}},
      {{"--batch", "--sequence=perm:321"},
       {4},
       {40},
       {"123", "132", "213", "231", "312", "321"},
       {}},
      {{"--batch", "--sequence=perm:112"}, {4}, {40}, {"112", "121", "211"}, {}},
      {{"--batch", "--sequence=4123,perm:1234"},
       {4},
       {40},
       {"4123", "1234", "1243", "1324", "1342", "1423", "1432", "2134",
        "2143", "2314", "2341", "2413", "2431", "3124", "3142", "3214",
        "3241", "3412", "3421", "4132", "4213", "4231", "4312", "4321"},
       {}},
      {{"--batch", "--sequence=21,12,21", "--look-back=1,2", "--steps=9,5"},
       {1, 2},
       {9, 5},
       {"21", "12"},
       {"1/9/21", "1/9/12", "1/5/21", "1/5/12", "2/9/21", "2/9/12", "2/5/21", "2/5/12"}},
      // 10000 sets exactly.
      {{"--batch", "--look-back=1-100", "--steps=1-100/1,5-100", "--sequence=1"},
       {},
       {},
       {"1"},
       {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string_view> args = c.args;
    const auto parsed = ParseCommandLine(args);
    if (c.lookBacks.empty()) {
      // The last case: --steps=1-100/1 is refused, as 1 is below 5; 100 x 96 sets are accepted.
      ASSERT_TRUE(std::holds_alternative<UsageError>(parsed));
      args[2] = "--steps=5-100";
      const auto accepted = ParseCommandLine(args);
      ASSERT_TRUE(std::holds_alternative<Command>(accepted));
      EXPECT_EQ(std::get<Command>(accepted).batch.lists.Count(), 9600u);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<Command>(parsed)) << std::get<UsageError>(parsed).message;
    const batch::BatchOptions& batch = std::get<Command>(parsed).batch;
    EXPECT_EQ(batch.lists.lookBacks, c.lookBacks) << c.args.back();
    EXPECT_EQ(batch.lists.steps, c.steps) << c.args.back();
    EXPECT_EQ(batch.lists.sequences, c.sequences) << c.args.back();
    // The batch's own parameters are the first set's.
    EXPECT_EQ(batch.lookBack, c.lookBacks.front());
    EXPECT_EQ(batch.steps, c.steps.front());
    EXPECT_EQ(batch.sequence, c.sequences.front());
    for (std::size_t k = 0; k < c.labels.size(); ++k) {
      EXPECT_EQ(batch.lists.Label(k), c.labels[k]) << c.args.back();
    }
  }
}

// Short options group behind one '-', as POSIX utilities read them: one that takes a value ends
// the group, its value the rest of the argument or else the next argument.
TEST(CommandLineTest, ShortOptionsGroupBehindOneDash) {
  const struct {
    std::vector<std::string_view> args;
    bool quiet;
    unsigned jobs;
    std::optional<std::string> directory;
    std::vector<std::string> operands;
  } cases[] = {
      {{"--batch", "-qj2"}, true, 2, std::nullopt, {}},
      {{"--batch", "-qj", "3", "a.txt"}, true, 3, std::nullopt, {"a.txt"}},
      {{"-qqj", "+4", "--batch", "-", "--", "-q"}, true, 4, std::nullopt, {"-", "-q"}},
      {{"--batch", "-j5", "-q"}, true, 5, std::nullopt, {}},
      {{"-Cq"}, false, 0, "q", {}},
      {{"-C", "-qj2"}, false, 0, "-qj2", {}},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseCommandLine(c.args);
    ASSERT_TRUE(std::holds_alternative<Command>(parsed)) << std::get<UsageError>(parsed).message;
    const Command& command = std::get<Command>(parsed);
    EXPECT_EQ(command.batch.quiet, c.quiet) << c.args[1];
    EXPECT_EQ(command.batch.jobs, c.jobs) << c.args[1];
    EXPECT_EQ(command.directory, c.directory) << c.args[1];
    EXPECT_EQ(command.batch.operands, c.operands) << c.args[1];
  }
}

// --field takes a number (up to 2^32 - 1) or a name; the last one given wins.
TEST(CommandLineTest, FieldIsANumberOrAName) {
  const struct {
    std::vector<std::string_view> args;
    std::uint32_t number;
    std::string name;
  } cases[] = {
      {{"--batch", "--field=4294967295"}, 4294967295u, ""},
      {{"--batch", "--field", "007"}, 7, ""},
      {{"--batch", "--field=Quizzes"}, 0, "Quizzes"},
      {{"--batch", "--field=-x"}, 0, "-x"},
      {{"--batch", "--field=3", "--field=id"}, 0, "id"},
      {{"--batch", "--field=id", "--field=3"}, 3, ""},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseCommandLine(c.args);
    ASSERT_TRUE(std::holds_alternative<Command>(parsed)) << std::get<UsageError>(parsed).message;
    const batch::FieldChoice& field = std::get<Command>(parsed).batch.field;
    EXPECT_EQ(field.number, c.number) << c.args.back();
    EXPECT_EQ(field.name, c.name) << c.args.back();
  }
}

TEST(CommandLineTest, ReportNamesDropFolderAndExtension) {
  EXPECT_EQ(batch::ReportName("-"), "stdin");
  EXPECT_EQ(batch::ReportName("puzzles/top95.txt"), "top95");
  EXPECT_EQ(batch::ReportName("a.b.c"), "a.b");
  EXPECT_EQ(batch::ReportName(".hidden"), ".hidden");
  EXPECT_EQ(batch::ReportName("dir.d/plain"), "plain");
  EXPECT_EQ(batch::ReportName("top.csv.gz"), "top");
  EXPECT_EQ(batch::ReportName("top.GZ"), "top");
  EXPECT_EQ(batch::ReportName(".gz"), ".gz");
  EXPECT_EQ(batch::ReportName("dir/.csv.gz"), ".csv");
}

TEST(CommandLineTest, HelpAndVersionPrintTheirTextAndTouchNoFile) {
  for (const auto& [args, text] :
       {std::pair{std::vector<std::string>{"--help"}, UsageText()},
        std::pair{std::vector<std::string>{"--batch", "-h", "--bogus"}, UsageText()},
        std::pair{std::vector<std::string>{"--batch", "--version", "--bogus"}, VersionText()},
        std::pair{std::vector<std::string>{"-hx"}, UsageText()},
        std::pair{std::vector<std::string>{"--batch", "-qh", "--bogus"}, UsageText()}}) {
    MemoryFiles files;
    const RunResult r = RunProgram(args, files);
    EXPECT_EQ(r.status, ExitStatus::kSuccess);
    EXPECT_EQ(r.console, text);
    EXPECT_EQ(r.errors, "");
    EXPECT_TRUE(files.opened.empty());
  }
  EXPECT_EQ(VersionText(),
            "tarvik " + std::string(VersionText().substr(7, VersionText().find('\n') - 7)) +
                "\nCopyright (C) 2026 the tarvik developers\n"
                "License MIT: <https://opensource.org/licenses/MIT>\n"
                "This is free software: you are free to change and redistribute it.\n"
                "There is NO WARRANTY, to the extent permitted by law.\n");
  EXPECT_TRUE(UsageText().ends_with("Full documentation: man tarvik\n"));
  // Every line of the help fits a terminal of 80 columns.
  for (std::size_t at = 0; at < UsageText().size();) {
    const std::size_t end = UsageText().find('\n', at);
    EXPECT_LE(end - at, 79u) << UsageText().substr(at, end - at);
    at = end + 1;
  }
}

// The usage reads on an 80-column terminal without a line wrapped by it.
TEST(CommandLineTest, EveryLineOfTheUsageFitsSeventyNineColumns) {
  const std::string_view text = UsageText();
  std::size_t lines = 0;
  for (std::size_t start = 0; start < text.size(); ++lines) {
    const std::size_t end = text.find('\n', start);
    ASSERT_NE(end, std::string_view::npos) << "the usage ends without a line feed";
    const std::string_view line = text.substr(start, end - start);
    EXPECT_LE(line.size(), 79u) << line;
    EXPECT_EQ(line.find('\t'), std::string_view::npos) << line;
    start = end + 1;
  }
  EXPECT_GT(lines, 40u);
}

TEST(CommandLineTest, HelpOnAClosedStandardOutputIsAWriteError) {
  MemoryFiles files;
  testing::KeptFailingSink closed(std::make_error_code(std::errc::bad_file_descriptor));
  const RunResult r = RunProgram({"--help"}, files, &closed);
  EXPECT_EQ(r.status, ExitStatus::kIoError);
  EXPECT_EQ(r.errors, "tarvik: write error on standard output: Bad file descriptor\n");
}

TEST(CommandLineTest, DirectoryOptionRunsTheClassicRunThereOrSaysWhyNot) {
  MemoryFiles files;
  const RunResult missing = RunProgram({"-C", "nowhere"}, files);
  EXPECT_EQ(missing.status, ExitStatus::kNoInput);
  EXPECT_EQ(missing.errors, "tarvik: nowhere: No such file or directory\n");

  files.directories.insert("puzzles");
  const RunResult there = RunProgram({"-Cpuzzles"}, files);
  EXPECT_EQ(files.workingDirectory, "puzzles");
  EXPECT_EQ(there.status, ExitStatus::kNoInput);  // this memory has no Sudin.txt at all
}

// The names given to -C and --view show in messages as the batch shows names: each byte that is not
// printable ASCII, and '\', as \xNN, and no more than 200 bytes of the name.
TEST(CommandLineTest, NamesInTheClassicRunsMessagesAreEscapedAndCut) {
  const std::string input =
      "5 3 0 0 7 0 0 0 0\n6 0 0 1 9 5 0 0 0\n0 9 8 0 0 0 0 6 0\n8 0 0 0 6 0 0 0 3\n"
      "4 0 0 8 0 3 0 0 1\n7 0 0 0 2 0 0 0 6\n0 6 0 0 0 0 2 8 0\n0 0 0 4 1 9 0 0 5\n"
      "0 0 0 0 8 0 0 7 9\n0 4 5\n4 1 2 3 4\n";
  const struct {
    std::string name;
    std::string shown;
  } names[] = {
      {"\x1b[31mred\x07", "\\x1b[31mred\\x07"},
      {"d\\caf\xc3\xa9 \"x\"", "d\\x5ccaf\\xc3\\xa9 \"x\""},
      {std::string(5000, 'n'), std::string(200, 'n') + "..."},
  };
  enum class Trouble { kNoFolder, kCannotCreate, kSameAsReport, kLocked, kDiskFull };
  const struct {
    Trouble trouble;
    std::string before;  // the message's text before the name, after "tarvik: "
    std::string after;
  } troubles[] = {
      {Trouble::kNoFolder, "", ": No such file or directory\n"},
      {Trouble::kCannotCreate, "", ": Permission denied\n"},
      {Trouble::kSameAsReport, "", ": is the same file as Sudout.txt\n"},
      {Trouble::kLocked, "", ": waiting for another run to finish\n"},
      {Trouble::kDiskFull, "write error on ", ": No space left on device\n"},
  };
  for (const auto& [name, shown] : names) {
    for (const auto& t : troubles) {
      MemoryFiles files;
      files.files["Sudin.txt"] = input;
      if (t.trouble == Trouble::kCannotCreate) {
        files.openErrors[name] = std::make_error_code(std::errc::permission_denied);
      }
      if (t.trouble == Trouble::kSameAsReport) files.ids[name] = files.ids["Sudout.txt"] = {7, 7};
      if (t.trouble == Trouble::kLocked) files.busy.insert(name);
      if (t.trouble == Trouble::kDiskFull) files.room[name] = 10;
      const RunResult r =
          RunProgram(t.trouble == Trouble::kNoFolder ? std::vector<std::string>{"-C", name}
                                                     : std::vector<std::string>{"--view=" + name},
                     files);
      EXPECT_EQ(r.errors, "tarvik: " + t.before + shown + t.after) << shown;
    }
  }
}

}  // namespace
}  // namespace tarvik::cli
