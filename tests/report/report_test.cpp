// SPDX-License-Identifier: MIT
#include "report/report.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::CapturedReport;

TEST(ReportTest, ReportLineGoesToBothChannelsAndWriteLineToOne) {
  CapturedReport out;
  out.report.WRITELINE(Report::Channel::kFile, LineKind::SEARCHSEQUENCE, std::vector<int>{1, 2});
  out.report.REPORTLINE(LineKind::PUZZLESOLVED);
  out.report.WRITELINE(Report::Channel::kConsole, LineKind::FOUNDCOUNT, std::vector<int>{4});
  EXPECT_EQ(out.Text(), "\nPuzzle Solved \n          Found positions for 4 values\n");
  EXPECT_EQ(out.file.text(), "\n Search Sequence\n  1  2\n\nPuzzle Solved \n");
}

TEST(ReportTest, PrintMatrixWritesNineRowsAndLeavesIAtTen) {
  PuzzleState st = testing::StateOf(
      "530070000 600195000 098000060 800060003 400803001 700020006 060000280 000419005 "
      "000080079");
  st.I = 4;
  st.J = 7;
  CapturedReport out;
  out.report.PRINTMATRIX(st);
  EXPECT_EQ(out.Text(),
            "  5  3  0  0  7  0  0  0  0\n"
            "  6  0  0  1  9  5  0  0  0\n"
            "  0  9  8  0  0  0  0  6  0\n"
            "  8  0  0  0  6  0  0  0  3\n"
            "  4  0  0  8  0  3  0  0  1\n"
            "  7  0  0  0  2  0  0  0  6\n"
            "  0  6  0  0  0  0  2  8  0\n"
            "  0  0  0  4  1  9  0  0  5\n"
            "  0  0  0  0  8  0  0  7  9\n");
  EXPECT_EQ(out.file.text(), out.console.text());
  EXPECT_EQ(st.I, 10);
  EXPECT_EQ(st.J, 7);
}

TEST(ReportTest, EchoComesFirstInTheFileOnlyAcrossManyBuffers) {
  CapturedReport out;
  out.report.WRITELINE(Report::Channel::kFile, LineKind::SEARCHSEQUENCE, std::vector<int>{4, 1});
  std::string shared;
  for (int k = 0; k < 5000; ++k) {  // several buffers' worth
    out.report.REPORTLINE(LineKind::CELLFOUND, {k % 10, 3, 7});
    shared +=
        "           S(" + std::string(k % 10 == 0 ? "0" : std::to_string(k % 10)) + ",3) =  7\n";
  }
  out.report.WRITELINE(Report::Channel::kFile, LineKind::PUZZLESOLVED, {});
  EXPECT_EQ(out.Text(), shared);
  EXPECT_EQ(out.file.text(), "\n Search Sequence\n  4  1\n" + shared + "\nPuzzle Solved \n");
}

TEST(ReportTest, PrintMatrixShowsWhateverTheCellsHold) {
  PuzzleState st;
  st.S(1, 1) = -5;
  st.S(1, 9) = 127;
  st.S(5, 4) = -128;  // four characters: too wide
  st.S(9, 3) = -1;
  st.S(9, 9) = 9;
  CapturedReport out;
  out.report.PRINTMATRIX(st);
  EXPECT_EQ(out.Text(),
            " -5  0  0  0  0  0  0  0127\n"
            "  0  0  0  0  0  0  0  0  0\n"
            "  0  0  0  0  0  0  0  0  0\n"
            "  0  0  0  0  0  0  0  0  0\n"
            "  0  0  0***  0  0  0  0  0\n"
            "  0  0  0  0  0  0  0  0  0\n"
            "  0  0  0  0  0  0  0  0  0\n"
            "  0  0  0  0  0  0  0  0  0\n"
            "  0  0 -1  0  0  0  0  0  9\n");
}

// Keeps each write it is handed.
struct KeptLines final : LineListener {
  std::vector<std::pair<LineKind, std::vector<std::int32_t>>> lines;
  void OnLine(LineKind kind, std::span<const std::int32_t> values) override {
    lines.emplace_back(kind, std::vector<std::int32_t>(values.begin(), values.end()));
  }
};

TEST(ReportTest, ListeningReportHandsOverEveryWriteOnce) {
  KeptLines kept;
  Report report(kept);
  PuzzleState st = testing::StateOf(
      "530070000 600195000 098000060 800060003 400803001 700020006 060000280 000419005 "
      "000080079");
  report.WRITELINE(Report::Channel::kFile, LineKind::SEARCHSEQUENCE, std::vector<int>{4, 1, 2});
  report.REPORTLINE(LineKind::CELLFOUND, {2, 3, 7});
  report.PRINTMATRIX(st);
  const Report::Failures failures = report.Finish();
  EXPECT_FALSE(failures.console);
  EXPECT_FALSE(failures.file);
  ASSERT_EQ(kept.lines.size(), 11u);
  EXPECT_EQ(kept.lines[0].first, LineKind::SEARCHSEQUENCE);
  EXPECT_EQ(kept.lines[0].second, (std::vector<std::int32_t>{4, 1, 2}));
  EXPECT_EQ(kept.lines[1].first, LineKind::CELLFOUND);
  EXPECT_EQ(kept.lines[1].second, (std::vector<std::int32_t>{2, 3, 7}));
  EXPECT_EQ(kept.lines[2].first, LineKind::MATRIXROW);
  EXPECT_EQ(kept.lines[2].second, (std::vector<std::int32_t>{5, 3, 0, 0, 7, 0, 0, 0, 0}));
  EXPECT_EQ(kept.lines[10].first, LineKind::MATRIXROW);
  EXPECT_EQ(kept.lines[10].second, (std::vector<std::int32_t>{0, 0, 0, 0, 8, 0, 0, 7, 9}));
  EXPECT_EQ(st.I, 10);
}

TEST(ReportTest, FailedChannelDoesNotCostTheOther) {
  testing::KeptFailingSink console(std::make_error_code(std::errc::broken_pipe), 10);
  testing::StringSink file;
  Report report(console, file);
  // Far more than one buffer, so that the console fails long before the end.
  for (int k = 0; k < 20000; ++k) report.REPORTLINE(LineKind::MATRIXHEADER, {k % 82});
  const Report::Failures failures = report.Finish();
  EXPECT_EQ(failures.console, std::errc::broken_pipe);
  EXPECT_FALSE(failures.file);
  EXPECT_EQ(file.text().size(), 20000u * 39u);
  EXPECT_EQ(console.text(), file.text().substr(0, 10));
}

TEST(ReportTest, FailedFileDoesNotCostTheConsole) {
  testing::StringSink console;
  testing::KeptFailingSink file(std::make_error_code(std::errc::no_space_on_device), 100);
  Report report(console, file);
  report.WRITELINE(Report::Channel::kFile, LineKind::SEARCHSEQUENCE, std::vector<int>(40, 3));
  for (int k = 0; k < 20000; ++k) report.REPORTLINE(LineKind::MATRIXHEADER, {k % 82});
  const Report::Failures failures = report.Finish();
  EXPECT_FALSE(failures.console);
  EXPECT_EQ(failures.file, std::errc::no_space_on_device);
  EXPECT_EQ(console.text().size(), 20000u * 39u);
  EXPECT_EQ(file.text().substr(0, 21), "\n Search Sequence\n  3");
  EXPECT_EQ(file.text().size(), 100u);
}

TEST(ReportTest, EachChannelKeepsItsOwnFirstError) {
  testing::KeptFailingSink console(std::make_error_code(std::errc::broken_pipe), 50);
  testing::KeptFailingSink file(std::make_error_code(std::errc::no_space_on_device), 70000);
  Report report(console, file);
  for (int k = 0; k < 20000; ++k) report.REPORTLINE(LineKind::MATRIXHEADER, {k % 82});
  const Report::Failures failures = report.Finish();
  EXPECT_EQ(failures.console, std::errc::broken_pipe);
  EXPECT_EQ(failures.file, std::errc::no_space_on_device);
  EXPECT_EQ(console.text(), file.text().substr(0, 50));
  EXPECT_EQ(file.text().size(), 70000u);
}

TEST(ReportTest, FailureOnCloseIsReported) {
  testing::StringSink console;
  FailingSink file(std::make_error_code(std::errc::no_space_on_device), 1u << 20);
  Report report(console, file);
  report.REPORTLINE(LineKind::PUZZLESOLVED);
  EXPECT_FALSE(report.Finish().file);  // all bytes fitted

  FailingSink full(std::make_error_code(std::errc::no_space_on_device), 3);
  Report small(console, full);
  small.REPORTLINE(LineKind::PUZZLESOLVED);
  EXPECT_EQ(small.Finish().file, std::errc::no_space_on_device);
}

}  // namespace
}  // namespace tarvik
