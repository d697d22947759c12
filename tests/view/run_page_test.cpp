// SPDX-License-Identifier: MIT
#include "view/run_page.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "page_text.h"
#include "run_events.h"

namespace tarvik::view {
namespace {

using testing::Count;
using testing::ExpectWholeDocument;
using testing::GridOf;
using testing::GuessedOnceAndSolved;
using testing::Has;
using testing::InputOf;
using testing::kThreeGivens;
using testing::Repeated;
using testing::RunEvents;
using testing::StalledOnFirstPair;

// The part of the page from `from` on.
std::string_view After(std::string_view page, std::string_view from) {
  const std::size_t at = page.find(from);
  return at == std::string_view::npos ? std::string_view{} : page.substr(at);
}

// What every page must hold and must not hold.
void ExpectWholeRunPage(const std::string& page) {
  ExpectWholeDocument(page, kMaxPageBytes);
  EXPECT_EQ(Count(page, "<svg"), 1u);
  EXPECT_TRUE(Has(page, "@media print{"));
}

// Five steps that end at the step limit: V fills (1,3), R fills (2,2) and (2,3), C fills (3,1).
RunEvents StepLimitRun() {
  RunEvents run(GridOf(kThreeGivens));
  run.Begin();
  run.Step(LineKind::SINGLESTEP, 1, {{1, 3, 4}});
  run.Step(LineKind::ROWSTEP, 2, {{2, 2, 7}, {2, 3, 2}});
  run.Step(LineKind::COLUMNSTEP, 3, {{3, 1, 9}});
  run.EmptySteps(4, 2);
  run.Finish(LineKind::MAXSTEPS);
  return run;
}

TEST(RunPageTest, StepLimitPage) {
  const RunEvents run = StepLimitRun();
  const std::string page =
      RenderPage(InputOf(GridOf(kThreeGivens), 1, 4, {4, 1, 2, 3, 4}), run.recorder, "");
  ExpectWholeRunPage(page);

  EXPECT_TRUE(Has(page, "<title>tarvik: Sudin.txt - step limit</title>"));
  EXPECT_TRUE(Has(page, "<h1><span>tarvik run of</span> Sudin.txt</h1>"));
  EXPECT_TRUE(Has(page,
                  "<p class=\"outcome\"><b>step limit</b> <samp id=\"outcome\">Puzzle not solved "
                  "in maximum number of steps</samp></p>"));
  EXPECT_TRUE(Has(page,
                  "<div><dt>Attempts</dt><dd id=\"attempts\">1</dd></div>\n"
                  "<div><dt>Steps</dt><dd id=\"steps\">5</dd></div>\n"
                  "<div><dt>Deepest guess level</dt><dd id=\"depth\">0</dd></div>\n"
                  "<div><dt>Empty cells left</dt><dd id=\"empty\">74</dd></div>\n"));
  EXPECT_TRUE(Has(page,
                  "<p class=\"params\">Print level <b>1</b> &middot; look-back <b>4</b> steps "
                  "&middot; at most <b>5</b> steps per attempt &middot; search sequence "
                  "<code>4 1 2 3 4</code></p>"));

  const std::string_view start = After(page, "<table class=\"grid\" id=\"start-grid\">");
  EXPECT_TRUE(start.starts_with(
      "<table class=\"grid\" id=\"start-grid\">\n<thead><tr><td></td><th scope=\"col\">1</th>"
      "<th scope=\"col\">2</th><th scope=\"col\">3</th><th scope=\"col\">4</th>"
      "<th scope=\"col\">5</th><th scope=\"col\">6</th><th scope=\"col\">7</th>"
      "<th scope=\"col\">8</th><th scope=\"col\">9</th></tr></thead>\n<tbody>\n"
      "<tr><th scope=\"row\">1</th><td class=\"given\">5</td><td class=\"given\">3</td>"
      "<td></td><td></td><td></td><td></td><td></td><td></td><td></td></tr>\n"
      "<tr><th scope=\"row\">2</th><td class=\"given\">6</td>"
      "<td></td><td></td><td></td><td></td><td></td><td></td><td></td><td></td></tr>\n"));
  const std::string_view final = After(page, "<table class=\"grid\" id=\"final-grid\">");
  EXPECT_TRUE(Has(final,
                  "<tr><th scope=\"row\">1</th><td class=\"given\">5</td><td class=\"given\">3</td>"
                  "<td class=\"t-v\" title=\"single values, step 1\"><small>V1</small>4</td>"
                  "<td></td><td></td><td></td><td></td><td></td><td></td></tr>\n"
                  "<tr><th scope=\"row\">2</th><td class=\"given\">6</td>"
                  "<td class=\"t-r\" title=\"rows, step 2\"><small>R2</small>7</td>"
                  "<td class=\"t-r\" title=\"rows, step 2\"><small>R2</small>2</td>"
                  "<td></td><td></td><td></td><td></td><td></td><td></td></tr>\n"
                  "<tr><th scope=\"row\">3</th>"
                  "<td class=\"t-c\" title=\"columns, step 3\"><small>C3</small>9</td>"));
  EXPECT_TRUE(Has(page, "<figcaption>Final grid <span>&middot; attempt 1 &middot; 74 empty cells"));

  // One line of six points, from 78 empty cells at step 0 across the whole width.
  const std::string_view line = After(page, "<polyline");
  EXPECT_TRUE(line.starts_with("<polyline class=\"attempt final\" points=\"58,20.9 243.2,"));
  EXPECT_EQ(Count(line.substr(0, line.find("\">")), " "),
            3u + 5u);  // 3 in the tag, 5 between points
  EXPECT_TRUE(Has(line, " 984,"));
  EXPECT_EQ(Count(page, "<polyline"), 1u);
  EXPECT_FALSE(Has(page, "class=\"band\""));
  EXPECT_TRUE(Has(page, "<title>Attempt 1: 78 to 74 empty cells in 5 steps</title></polyline>"));

  EXPECT_TRUE(Has(page,
                  "<details id=\"attempt-1\" open>\n<summary><span class=\"n\">Attempt 1</span>"
                  "<span class=\"e e-bad\">step limit</span><span class=\"m\">5 steps, 78 &rarr; "
                  "74 empty</span><span class=\"g\">guesses: none</span></summary>\n"
                  "<div>\n<p>Started with 78 empty cells and no guesses.</p>\n"));
  EXPECT_TRUE(Has(page,
                  "<tr><td class=\"num\">2</td><td><span class=\"key t-r\">R</span> rows</td>"
                  "<td>S(2,2)=7, S(2,3)=2</td><td class=\"num\">75</td></tr>\n"
                  "<tr><td class=\"num\">3</td><td><span class=\"key t-c\">C</span> columns</td>"
                  "<td>S(3,1)=9</td><td class=\"num\">74</td></tr>\n"
                  "<tr><td class=\"num\">4</td><td><span class=\"key t-v\">V</span> single "
                  "values</td><td><span class=\"none\">none</span></td><td class=\"num\">74</td>"
                  "</tr>\n"));
  EXPECT_TRUE(Has(page,
                  "<p class=\"ending\">Stopped at step 5, the step limit of 5, with 74 empty cells "
                  "left.</p>\n</div>\n</details>\n"));
}

TEST(RunPageTest, GuessesAreMarkedWithTheirLevelAndTheirAttemptsTellWhy) {
  const RunEvents run = GuessedOnceAndSolved();
  const std::string page =
      RenderPage(InputOf(GridOf(kThreeGivens), 0, 4, {4, 1, 2, 3, 4, 1, 2, 3}), run.recorder, "");
  ExpectWholeRunPage(page);

  EXPECT_TRUE(Has(page,
                  "<p class=\"outcome solved\"><b>solved</b> <samp id=\"outcome\">Puzzle Solved "
                  "</samp></p>"));
  EXPECT_TRUE(Has(page, "search sequence <code>4 1 2 3</code> repeated to <b>8</b> codes</p>"));
  EXPECT_TRUE(Has(page, "<dd id=\"depth\">1</dd>"));
  EXPECT_TRUE(Has(After(page, "id=\"final-grid\""),
                  "<td class=\"t-g\" title=\"guess, level 1\"><small>G1</small>4</td>"));
  EXPECT_TRUE(Has(page,
                  "<details id=\"attempt-1\">\n<summary><span class=\"n\">Attempt 1</span>"
                  "<span class=\"e e-guess\">guessed S(1,3)=4</span><span class=\"m\">5 steps, "
                  "78 &rarr; 78 empty</span><span class=\"g\">guesses: none</span></summary>\n"));
  EXPECT_TRUE(Has(page,
                  "<p class=\"ending\">Stalled after step 5: the empty cells stopped falling. "
                  "S(1,3) could be 4 or 8: guessed 4 at level 1, and started again.</p>"));
  EXPECT_TRUE(Has(page,
                  "<details id=\"attempt-2\" open>\n<summary><span class=\"n\">Attempt 2</span>"
                  "<span class=\"e e-good\">solved</span><span class=\"m\">5 steps, 77 &rarr; 76 "
                  "empty</span><span class=\"g\">guesses: S(1,3)=4</span></summary>"));
  EXPECT_TRUE(Has(page,
                  "<p>Started with 77 empty cells and these guesses in force: level 1 S(1,3) = "
                  "4.</p>"));
  EXPECT_TRUE(Has(page, "<p class=\"ending\">Solved at step 5: no empty cell left.</p>"));
  EXPECT_EQ(Count(page, "<polyline class=\"attempt\" "), 1u);
  EXPECT_EQ(Count(page, "<polyline class=\"attempt final\" "), 1u);
  EXPECT_TRUE(Has(page, "<li><span class=\"swatch\"></span>earlier attempts</li>"));
}

TEST(RunPageTest, GuessesStayMarkedWhenBacktrackingEmptiedTheStack) {
  RunEvents run = StalledOnFirstPair();
  run.Restart({{1, 3, 4}});
  run.EmptySteps(1, 5);
  run.StallWithoutPair();
  run.Restart({{1, 3, 8}});
  run.EmptySteps(1, 5);
  run.StallWithoutPair();
  run.Finish(LineKind::NOMOREGUESSES);
  const std::string page =
      RenderPage(InputOf(GridOf(kThreeGivens), 2, 4, {4, 4, 4, 4, 4}), run.recorder, "");
  ExpectWholeRunPage(page);

  EXPECT_TRUE(Has(page,
                  "<samp id=\"outcome\">Puzzle not solved  -  no further guesses "
                  "possible</samp>"));
  EXPECT_TRUE(Has(After(page, "id=\"final-grid\""),
                  "<td class=\"t-g\" title=\"guess, level 1\"><small>G1</small>8</td>"));
  EXPECT_TRUE(Has(page, "<span class=\"e e-back\">no two-value cell, backtracked</span>"));
  EXPECT_TRUE(Has(page,
                  "Stalled after step 5: the empty cells stopped falling. No empty cell has "
                  "exactly two possible values: backtracked. No guess was left to try.</p>"));
}

// `attempts` attempts of five steps; each but the first with one guess.
RunEvents ManyAttempts(int attempts) {
  RunEvents run(GridOf(kThreeGivens));
  run.Begin();
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    run.EmptySteps(1, 5);
    run.StallWithoutPair();
    if (attempt < attempts) run.Restart({{4, 4, attempt % 9 + 1}});
  }
  run.Finish(LineKind::NOMOREGUESSES);
  return run;
}

TEST(RunPageTest, FortyAttemptsAreAllShownInFull) {
  const RunEvents run = ManyAttempts(40);
  const std::string page =
      RenderPage(InputOf(GridOf(kThreeGivens), 0, 4, {4, 1, 2, 3, 4}), run.recorder, "");
  ExpectWholeRunPage(page);
  EXPECT_EQ(Count(page, "<details id=\"attempt-"), 40u);
  EXPECT_EQ(Count(page, "<polyline class=\"attempt"), 40u);
  EXPECT_EQ(Count(page, "<details id=\"attempt-40\" open>"), 1u);
  EXPECT_EQ(Count(page, " open>"), 1u);
  EXPECT_FALSE(Has(page, "class=\"band\""));
  EXPECT_FALSE(Has(page, "class=\"middle\""));
}

TEST(RunPageTest, BeyondFortyAttemptsTheMiddleOnesAreRowsAndTheChartABand) {
  const RunEvents run = ManyAttempts(45);
  const std::string page =
      RenderPage(InputOf(GridOf(kThreeGivens), 0, 4, {4, 1, 2, 3, 4}), run.recorder, "");
  ExpectWholeRunPage(page);

  EXPECT_EQ(Count(page, "<details id=\"attempt-"), 40u);
  EXPECT_TRUE(Has(page, "<details id=\"attempt-20\">"));
  EXPECT_FALSE(Has(page, "<details id=\"attempt-21\">"));
  EXPECT_FALSE(Has(page, "<details id=\"attempt-25\">"));
  EXPECT_TRUE(Has(page, "<details id=\"attempt-26\">"));
  EXPECT_EQ(Count(page, " open>"), 1u);
  EXPECT_TRUE(Has(page, "<details id=\"attempt-45\" open>"));
  EXPECT_TRUE(Has(page,
                  "The first and the last 20 of the 45 attempts in full, the others one row "
                  "each."));

  // The rows stand between attempts 20 and 26.
  const std::size_t twenty = page.find("<details id=\"attempt-20\">");
  const std::size_t rows = page.find("<details class=\"middle\">");
  const std::size_t twentySix = page.find("<details id=\"attempt-26\">");
  EXPECT_LT(twenty, rows);
  EXPECT_LT(rows, twentySix);
  EXPECT_TRUE(
      Has(page, "<details class=\"middle\">\n<summary>Attempts 21 to 25: one row each</summary>"));
  EXPECT_TRUE(Has(page,
                  "<tr><td class=\"num\">21</td><td>S(4,4)=3</td><td class=\"num\">5</td>"
                  "<td class=\"num\">77</td><td class=\"e-back\">no two-value cell, "
                  "backtracked</td></tr>\n"));
  EXPECT_EQ(Count(page.substr(rows, twentySix - rows), "<tr><td class=\"num\">"), 5u);

  EXPECT_EQ(Count(page, "<polyline"), 1u);
  EXPECT_TRUE(Has(page, "<polyline class=\"attempt final\""));
  EXPECT_EQ(Count(page, "<polygon class=\"band\""), 1u);
  EXPECT_TRUE(Has(page, "<title>Range of the 44 other attempts</title></polygon>"));
  EXPECT_TRUE(Has(page, "<li><span class=\"swatch band\"></span>range of the other 44 attempts"));
}

TEST(RunPageTest, TheSourceNameIsEscapedWhereverItIsShown) {
  const RunEvents run = StepLimitRun();
  const PuzzleState input = InputOf(GridOf(kThreeGivens), 1, 4, {4, 1, 2, 3, 4});
  const std::string page = RenderPage(input, run.recorder, "<b>\"Tom\" & 'Jerry'</b>.txt:7");
  ExpectWholeRunPage(page);
  const std::string_view shown = "&lt;b&gt;&quot;Tom&quot; &amp; &#39;Jerry&#39;&lt;/b&gt;.txt:7";
  EXPECT_TRUE(Has(page, "<title>tarvik: " + std::string(shown) + " - step limit</title>"));
  EXPECT_TRUE(Has(page, "<h1><span>tarvik run of</span> " + std::string(shown) + "</h1>"));
  EXPECT_FALSE(Has(page, "\"Tom\""));
  EXPECT_FALSE(Has(page, "<b>\""));

  const std::string longName(5000, 'x');
  const std::string cut = RenderPage(input, run.recorder, longName);
  EXPECT_TRUE(Has(cut, "<h1><span>tarvik run of</span> " + std::string(200, 'x') + "\u2026</h1>"));
  EXPECT_FALSE(Has(cut, std::string(201, 'x')));
}

TEST(RunPageTest, ThePageIsTheSameAtEveryPrintLevelButForTheLevelShown) {
  const Grid heavy = GridOf(
      "000000000 003600000 005090000 000030006 000840000 287100000 500000000 400020007 "
      "700000000");
  const std::vector<int> sequence = Repeated({4, 1, 2, 3}, 100);
  const std::string atZero = RenderRunPage(InputOf(heavy, 0, 4, sequence), "");
  std::string atThree = RenderRunPage(InputOf(heavy, 3, 4, sequence), "");
  ExpectWholeRunPage(atZero);
  const std::string_view levelThree = "Print level <b>3</b>";
  ASSERT_TRUE(Has(atThree, levelThree));
  atThree.replace(atThree.find(levelThree), levelThree.size(), "Print level <b>0</b>");
  EXPECT_EQ(atZero, atThree);
  EXPECT_TRUE(Has(atZero, "<dd id=\"attempts\">2047</dd>"));
  EXPECT_TRUE(Has(atZero, "<dd id=\"steps\">14784</dd>"));
  EXPECT_TRUE(Has(atZero, "<dd id=\"depth\">10</dd>"));
}

// Every recorder limit passed, with the widest parameters a run can have: the page still fits.
TEST(RunPageTest, NoPageIsLargerThanTheBound) {
  RunEvents run(GridOf(kThreeGivens));
  run.Begin();
  for (int attempt = 1; attempt <= 2100; ++attempt) {
    for (int step = 1; step <= 120; ++step) {
      run.Line(LineKind::COLUMNSTEP, {step});
      run.Line(LineKind::CELLFOUNDCOLUMN, {9, 9, 9});
      run.Line(LineKind::FOUNDCOUNT, {1});
      run.Line(LineKind::MATRIXHEADER, {78});
    }
    run.StallOnPair(8, 9, 1, 9);
    run.Line(LineKind::RESTARTING);
    for (int k = 0; k < 12; ++k) run.Line(LineKind::GUESSAPPLIED, {8, 9, 9});
    run.Line(LineKind::MATRIXHEADER, {78});
  }
  PuzzleState input = InputOf(GridOf(kThreeGivens), INT32_MIN, INT32_MAX, {});
  input.NSTEPS = 100;
  for (int k = 1; k <= 100; ++k) input.SEQ(k) = 1 + (k / 2 + k / 7 + k / 11) % 4;
  const std::string source(100000, '"');
  const std::string page = RenderPage(input, run.recorder, source);
  ExpectWholeRunPage(page);
  EXPECT_EQ(Count(page, "<details id=\"attempt-"), 40u);
  EXPECT_TRUE(Has(page, "attempts beyond these are not listed."));
}

}  // namespace
}  // namespace tarvik::view
