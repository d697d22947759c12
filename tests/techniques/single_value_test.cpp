// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "techniques/techniques.h"

namespace tarvik {
namespace {

using testing::CapturedReport;
using testing::DigitsOf;
using testing::StateOf;

TEST(SingleValueTest, FillIsSeenByLaterCellsOfTheSamePass) {
  // (1,1) can only be 5 (column 1 holds 7); (1,2) has 5 and 7 until (1,1) is filled.
  PuzzleState st = StateOf(
      "001234689 000000000 000000000 000000000 700000000 000000000 000000000 000000000 "
      "000000000",
      2);
  st.STEP = 3;
  CapturedReport out;
  FINDVALUEFORPOSITION(st, out.report);
  EXPECT_EQ(out.Text(),
            "\nStep  3  Search each position to see if a single value can be assigned.\n"
            "           S(1,1) =  5\n"
            "           S(1,2) =  7\n"
            "          Found positions for 2 values\n");
  EXPECT_EQ(out.file.text(), out.console.text());
}

TEST(SingleValueTest, EarlierCellsAreNotRevisited) {
  // (1,1) has 4 and 8 until (3,3), later in the scan, takes the 4.
  PuzzleState st = StateOf(
      "012356000 000000000 000127356 700000000 008000000 009000000 900000000 000000000 "
      "000000000");
  CapturedReport out;
  FINDVALUEFORPOSITION(st, out.report);
  EXPECT_EQ(st.S(3, 3), 4);
  EXPECT_EQ(st.S(1, 1), 0);
  EXPECT_EQ(out.Text(), "");  // print level 0 writes nothing
  FINDVALUEFORPOSITION(st, out.report);
  EXPECT_EQ(st.S(1, 1), 8);
}

TEST(SingleValueTest, NeverPlacesAValueTwiceInAUnit) {
  // Both empty cells of row 1 can only take 8: the first gets it, the second is left dead.
  PuzzleState st = StateOf(
      "001234567 000000000 000000000 000000000 900000000 000000000 000000000 090000000 "
      "000000000");
  CapturedReport out;
  FINDVALUEFORPOSITION(st, out.report);
  EXPECT_EQ(st.S(1, 1), 8);
  EXPECT_EQ(st.S(1, 2), 0);
  EXPECT_EQ(st.NCAND, 8);  // the count of the last empty cell examined, (9,9)
}

TEST(SingleValueTest, TwelveFillsShowAsAnAsteriskInTheCount) {
  // A solved grid with its diagonal and (1,9), (5,1), (9,1) emptied: every gap is single.
  PuzzleState st = StateOf(
      "034678910 602195348 190342567 859061423 026803791 713920856 961537084 287419605 "
      "045286170",
      2);
  st.STEP = 11;
  CapturedReport out;
  FINDVALUEFORPOSITION(st, out.report);
  EXPECT_EQ(DigitsOf(st.S),
            "534678912 672195348 198342567 859761423 426853791 713924856 961537284 287419635 "
            "345286179");
  const std::string text = out.Text();
  EXPECT_NE(text.find("           S(1,1) =  5\n           S(1,9) =  2\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("\n          Found positions for * values\n")) << text;
}

TEST(SingleValueTest, FullGridFillsNothing) {
  PuzzleState st = StateOf(
      "534678912 672195348 198342567 859761423 426853791 713924856 961537284 287419635 "
      "345286179",
      2);
  st.STEP = 1;
  st.NCAND = 6;
  CapturedReport out;
  FINDVALUEFORPOSITION(st, out.report);
  EXPECT_EQ(out.Text(),
            "\nStep  1  Search each position to see if a single value can be assigned.\n"
            "          Found positions for 0 values\n");
  EXPECT_EQ(st.NCAND, 6);
}

}  // namespace
}  // namespace tarvik
