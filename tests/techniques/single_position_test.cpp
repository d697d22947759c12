// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "techniques/techniques.h"

namespace tarvik {
namespace {

using testing::CapturedReport;
using testing::StateOf;

constexpr const char* kEmptyRows = " 000000000 000000000 000000000 000000000 000000000 000000000";

TEST(SinglePositionTest, RowSearchFillsTheOnlyEmptyCellOfARow) {
  PuzzleState st = StateOf(std::string("120345689 000000000 000000000") + kEmptyRows, 2);
  st.STEP = 2;
  CapturedReport out;
  FINDPOSITIONINROWSFORVALUES(st, out.report);
  EXPECT_EQ(out.Text(),
            "\nStep  2  Search each row for positions for each value\n"
            "           S(1,3) =  7\n"
            "          Found positions for 1 values\n");
  EXPECT_EQ(out.file.text(), out.console.text());
}

TEST(SinglePositionTest, RowSearchPositionRuledOutByItsColumn) {
  // Row 1 lacks 4 and 9; column 2 holds 4, so the 4 goes to column 8, which then leaves the 9
  // a single position within the same unit.
  PuzzleState st = StateOf(
      "102356708 000000000 000000000 000000000 040000000 000000000 000000000 000000000 "
      "000000000",
      2);
  CapturedReport out;
  FINDPOSITIONINROWSFORVALUES(st, out.report);
  EXPECT_EQ(st.S(1, 8), 4);
  EXPECT_EQ(st.S(1, 2), 9);
  EXPECT_NE(out.Text().find("           S(1,8) =  4\n           S(1,2) =  9\n"), std::string::npos);
}

TEST(SinglePositionTest, FillsOfAUnitComeInAscendingOrderOfValue) {
  // Row 1 gets 3 in column 5 and 6 in column 2; the 3 is reported first.
  PuzzleState st = StateOf(
      "102405789 000000000 000000000 000000000 030000000 000000000 000000000 000000000 "
      "000000000",
      2);
  CapturedReport out;
  FINDPOSITIONINROWSFORVALUES(st, out.report);
  EXPECT_NE(out.Text().find("           S(1,5) =  3\n           S(1,2) =  6\n"), std::string::npos);
}

TEST(SinglePositionTest, FillIsSeenByLaterRowsAtOnce) {
  // The 9 placed at (1,1) rules box 1 out for row 2, whose 9 then has one position left.
  PuzzleState st = StateOf(std::string("012345678 000678120 000000000") + kEmptyRows, 2);
  CapturedReport out;
  FINDPOSITIONINROWSFORVALUES(st, out.report);
  EXPECT_EQ(st.S(1, 1), 9);
  EXPECT_EQ(st.S(2, 9), 9);
  EXPECT_TRUE(
      out.Text().ends_with("           S(1,1) =  9\n           S(2,9) =  9\n"
                           "          Found positions for 2 values\n"));
  EXPECT_EQ(st.I, 10);
}

TEST(SinglePositionTest, ColumnSearchWritesTheValueInOneCharacter) {
  PuzzleState st = StateOf(
      "100000000 200000000 000000000 300000000 400000000 500000000 600000000 800000000 "
      "900000000",
      2);
  st.STEP = 14;
  CapturedReport out;
  FINDPOSITIONINCOLUMNSFORVALUES(st, out.report);
  EXPECT_EQ(out.Text(),
            "\nStep 14  Search each column for positions for each value\n"
            "           S(3,1) = 7\n"
            "          Found positions for 1 values\n");
  EXPECT_EQ(st.J, 10);
}

TEST(SinglePositionTest, BoxSearchFillsTheLastCellOfABoxAndPassesFullBoxesOver) {
  // Box 1 is full; box 5 misses only its 5, at (5,5).
  PuzzleState st = StateOf(
      "123000000 456000000 789000000 000123000 000406000 000789000 000000000 000000000 "
      "000000000",
      2);
  st.STEP = 7;
  CapturedReport out;
  FINDPOSITIONINBOXESFORVALUES(st, out.report);
  EXPECT_EQ(out.Text(),
            "\nStep  7  Search each box for positions for each value\n"
            "           S(5,5) =  5\n"
            "          Found positions for 1 values\n");
}

TEST(SinglePositionTest, BoxSearchFillsSeenByLaterBoxes) {
  // Box 1 misses only its 9, at (3,3).
  PuzzleState st = StateOf(
      "123000000 456000000 780000000 000000000 000000000 000000000 000000000 000000000 "
      "000000000");
  CapturedReport out;
  FINDPOSITIONINBOXESFORVALUES(st, out.report);
  EXPECT_EQ(st.S(3, 3), 9);
  EXPECT_EQ(out.Text(), "");  // print level 0 writes nothing
}

TEST(SinglePositionTest, FullGridFillsNothing) {
  const char* solved =
      "534678912 672195348 198342567 859761423 426853791 713924856 961537284 287419635 "
      "345286179";
  for (auto search : {FINDPOSITIONINROWSFORVALUES, FINDPOSITIONINCOLUMNSFORVALUES,
                      FINDPOSITIONINBOXESFORVALUES}) {
    PuzzleState st = StateOf(solved, 2);
    CapturedReport out;
    search(st, out.report);
    EXPECT_TRUE(out.Text().ends_with("          Found positions for 0 values\n"));
    EXPECT_EQ(testing::DigitsOf(st.S), solved);
  }
}

}  // namespace
}  // namespace tarvik
