#include "report/report.h"

#include <gtest/gtest.h>

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
