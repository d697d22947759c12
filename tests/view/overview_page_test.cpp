// SPDX-License-Identifier: MIT
#include "view/overview_page.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "page_text.h"
#include "run_events.h"
#include "view/run_page.h"

namespace tarvik::view {
namespace {

using testing::Count;
using testing::ExpectWholeDocument;
using testing::Has;
using testing::kDiagonalPuzzle;

GradedRow Graded(std::string_view source, std::int64_t line, Outcome outcome,
                 std::int64_t attempts = 1, std::int64_t steps = 5) {
  GradedRow row;
  row.place = {0, source, line};
  row.puzzle = kDiagonalPuzzle;
  row.run = {outcome, attempts, steps, 0};
  return row;
}

// Rows of the table of outcomes against solutions: 0, 1 and 2+, the misleading cell marked.
constexpr std::string_view kSolvedRow =
    "<tr><th scope=\"row\">solved</th><td>0</td><td>1</td><td class=\"mislead\" "
    "title=\"misleading\">2 \xE2\x9A\xA0</td></tr>";
constexpr std::string_view kNoSolutionRow =
    "<tr><th scope=\"row\">no solution</th><td>0</td><td class=\"mislead\" "
    "title=\"misleading\">1 \xE2\x9A\xA0</td><td>0</td></tr>";

// What every overview must hold and must not hold.
void ExpectWholeOverview(const std::string& page) {
  ExpectWholeDocument(page, kMaxOverviewBytes);
  EXPECT_TRUE(Has(page, "--o-no-further-guesses:"));
}

// A tally fed by hand, the overview's link base, and what its page must and must not hold.
struct PageCase {
  std::string_view name;
  bool solutions;
  std::function<void(BatchTally&)> feed;
  std::optional<std::string_view> linkBase;
  std::vector<std::string_view> present;
  std::vector<std::string_view> absent;
  std::vector<std::pair<std::string_view, std::size_t>> counted;
};

std::vector<PageCase> PageCases() {
  return {
      {"FileNotReadHasARowWithItsMessage",
       false,
       [](BatchTally& t) { t.FileNotRead(0, "gone.txt", "No such file or directory"); },
       "",
       {"<tr><td>gone.txt</td><td class=\"why\" colspan=\"8\">not read: No such file or "
        "directory</td></tr>",
        "<dd id=\"not-read\">1</dd>"},
       {"more FILE"},
       {}},
      {"HundredFileRowsThenTheRestTogether",
       false,
       [](BatchTally& t) {
         for (std::size_t k = 0; k < 102; ++k) {
           std::string source(1, 'f');
           source += std::to_string(k);
           GradedRow row = Graded(source, 1, Outcome::kSolved);
           row.place.operand = k;
           t.AddGraded(row);
           t.FileDone(k, source, 1);
         }
       },
       "",
       {"<tr class=\"more\"><td>and 2 more FILEs</td><td class=\"num\">2</td><td "
        "class=\"num\">2</td><td class=\"num\">0</td><td class=\"num\">2</td>",
        "<tr><td>f99</td>", "<dd id=\"files\">102</dd>"},
       {"<tr><td>f100</td>"},
       {{"<tr><td>f", 100}}},
      {"NoSolutionsUnlessCounted",
       false,
       [](BatchTally& t) { t.AddGraded(Graded("a.txt", 1, Outcome::kSolved)); },
       "",
       {},
       {"id=\"solutions\"", ">solutions</th>", "class=\"mislead\""},
       {}},
      {"MisleadingCellsMarked",
       true,
       [](BatchTally& t) {
         for (const int solutions : {2, 2, 1}) {
           GradedRow row = Graded("a.txt", 1, Outcome::kSolved);
           row.solutions = solutions;
           t.AddGraded(row);
         }
         GradedRow row = Graded("a.txt", 2, Outcome::kNoSolution);
         row.solutions = 1;
         t.AddGraded(row);
       },
       "",
       {"<dd id=\"solutions-1\">2</dd>", "<dd id=\"solutions-2\">2</dd>", kSolvedRow,
        kNoSolutionRow, "<th class=\"num\">solutions</th>"},
       {},
       // Only cells that hold a puzzle are marked: not the empty ones of step limit and the like.
       {{"<td class=\"mislead\"", 2}}},
      {"HardestLinkedRelativeToTheBase",
       false,
       [](BatchTally& t) {
         GradedRow linked = Graded("a.txt", 3, Outcome::kStepLimit, 2, 80);
         linked.page = "a b#1:x.html";
         t.AddGraded(linked);
         t.AddGraded(Graded("a.txt", 4, Outcome::kSolved, 1, 9));
       },
       "../pages/",
       {"<td><a href=\"../pages/a%20b%231%3Ax.html\">a.txt:3</a></td><td><code "
        "class=\"puzzle\">100000000020",
        "<td class=\"num\">2</td><td class=\"num\">80</td><td class=\"num\">0</td></tr>",
        "<td class=\"num\">2</td><td>a.txt:4</td>"},
       {},
       {{"<a ", 1}}},
      {"NoLinksWithoutALinkBase",
       false,
       [](BatchTally& t) {
         GradedRow row = Graded("a.txt", 3, Outcome::kSolved);
         row.page = "a-3.html";
         t.AddGraded(row);
       },
       std::nullopt,
       {"<td class=\"num\">1</td><td>a.txt:3</td>"},
       {"<a "},
       {}},
      {"FiftyRefusedLinesThenHowManyMore",
       false,
       [](BatchTally& t) {
         for (std::int64_t line = 1; line <= 52; ++line) t.AddRefused({0, "a.txt", line}, "bad");
       },
       "",
       {"<tr><td>a.txt:50</td><td>bad</td></tr>",
        "<p class=\"note\" id=\"more-refused\">and 2 more refused lines</p>",
        "<p class=\"note\">No puzzle was graded.</p>"},
       {"<td>a.txt:51</td>"},
       {{"<tr><td>a.txt:", 50}}},
      {"OutsideTextIsEscaped",
       false,
       [](BatchTally& t) {
         t.AddRefused({0, "<b>&'.txt", 1}, "a \"cell\" is <x>");
         t.FileNotRead(0, "<b>&'.txt", "Input/output error");
       },
       "",
       {"<td>&lt;b&gt;&amp;&#39;.txt:1</td><td>a &quot;cell&quot; is &lt;x&gt;</td>",
        "read up to here: Input/output error"},
       {"<b>&"},
       {}},
      {"NoAnswersUnlessChecked",
       false,
       [](BatchTally& t) { t.AddGraded(Graded("a.txt", 1, Outcome::kSolved)); },
       "",
       {},
       {"id=\"answers\""},
       {}},
      {"AnswersCountedAndTheFirstFiftyDifferingListed",
       false,
       [](BatchTally& t) {
         GradedRow match = Graded("a.txt", 1, Outcome::kSolved);
         match.answer = AnswerCheck::kMatch;
         t.AddGraded(match);
         for (std::int64_t line = 2; line <= 53; ++line) {
           GradedRow row = Graded("a.txt", line, Outcome::kSolved);
           row.answer = AnswerCheck::kDiffers;
           if (line == 2) row.page = "a-2.html";
           t.AddGraded(row);
         }
       },
       "../pages/",
       {"<dd id=\"answers-match\">1</dd>", "<dd id=\"answers-differs\">52 \xE2\x9A\xA0</dd>",
        "<dd id=\"answers-bad\">0</dd>", "<dd id=\"answers-other\">0</dd>",
        "<td><a href=\"../pages/a-2.html\">a.txt:2</a></td>", "<td>a.txt:51</td>",
        "<p class=\"note\" id=\"more-differing\">and 2 more</p>"},
       // The hardest list holds lines 1 to 50 (equal steps), the list of differing ones 2 to 51.
       {"<td>a.txt:52</td>"},
       {{"\xE2\x9A\xA0", 1}}},
      {"ColumnsOfOutcomesPerBin",
       false,
       [](BatchTally& t) {
         t.AddGraded(Graded("a.txt", 1, Outcome::kSolved, 6, 100));
         t.AddGraded(Graded("a.txt", 2, Outcome::kSolved, 7, 100));
         t.AddGraded(Graded("a.txt", 3, Outcome::kStepLimit, 8, 40));
       },
       "",
       {"<title>5-8: 2 solved</title>", "<title>5-8: 1 step limit</title>",
        "<title>65-128: 2 solved</title>", "<title>33-64: 1 step limit</title>",
        "<title>0: 2 solved</title>", ">65-128</text>"},
       // Attempts show bins 0 to 5-8, steps 0 to 65-128, the last with a puzzle.
       {">129-256</text>"},
       {{">9-16</text>", 1}}},
  };
}

TEST(OverviewPageTest, PagesOfRecordedTallies) {
  for (const PageCase& c : PageCases()) {
    SCOPED_TRACE(c.name);
    BatchTally tally({.lookBack = 4, .steps = 40, .sequence = "4123", .solutions = c.solutions});
    c.feed(tally);
    const std::string page = RenderOverview(tally, c.linkBase);
    ExpectWholeOverview(page);
    for (const std::string_view part : c.present) EXPECT_TRUE(Has(page, part)) << part;
    for (const std::string_view part : c.absent) EXPECT_FALSE(Has(page, part)) << part;
    for (const auto& [part, times] : c.counted) EXPECT_EQ(Count(page, part), times) << part;
  }
}

TEST(OverviewPageTest, TopShowsParametersAndTotals) {
  BatchTally tally({.lookBack = 3, .steps = 60, .sequence = "41 23", .solutions = false});
  tally.AddGraded(Graded("a.txt", 1, Outcome::kSolved));
  tally.AddRefused({0, "a.txt", 2}, "bad");
  tally.FileDone(0, "a.txt", 4);
  const std::string page = RenderOverview(tally, "");
  EXPECT_TRUE(Has(page, "<title>tarvik: overview of 1 puzzles</title>"));
  EXPECT_TRUE(Has(page, "<h1><span>tarvik overview of</span> 1 puzzles from 1 FILE</h1>"));
  EXPECT_TRUE(Has(page,
                  "<p class=\"params\">Look-back <b>3</b> steps &middot; at most <b>60</b> "
                  "steps per attempt &middot; search sequence <code>41 23</code></p>"));
  EXPECT_TRUE(Has(page, "<dd id=\"lines-read\">4</dd>"));
  EXPECT_TRUE(Has(page, "<dd id=\"refused\">1</dd>"));
  EXPECT_FALSE(Has(page, "id=\"not-read\""));
  EXPECT_TRUE(Has(page, "solved <b>1</b> (50 %)"));
  // The bar of all lines: half solved, half refused.
  EXPECT_TRUE(Has(page, "<rect class=\"o-solved\" x=\"0\" y=\"0\" width=\"500\" height=\"34\">"));
  EXPECT_TRUE(
      Has(page, "<rect class=\"o-refused\" x=\"500\" y=\"0\" width=\"500\" height=\"34\">"));
}

// The worst a batch can do: every kept name and message as long as kept and made of characters
// that grow most when escaped or percent-encoded, and 200,000 rows.
TEST(OverviewPageTest, BoundedWhateverTheBatch) {
  BatchTally tally(
      {.lookBack = 4, .steps = 40, .sequence = std::string(5000, '&'), .solutions = true});
  const std::string name(5000, '&');
  const std::string page(BatchTally::kMaxPageBytes, '#');
  for (std::int64_t k = 0; k < 200'000; ++k) {
    const auto operand = static_cast<std::size_t>(k / 1000);
    if (k % 3 == 0) {
      tally.AddRefused({operand, name, INT64_MAX - k}, name);
    } else {
      GradedRow row =
          Graded(name, INT64_MAX - k, static_cast<Outcome>(k % 4), INT64_MAX - k, INT64_MAX - k);
      row.place.operand = operand;
      row.run.depth = INT32_MAX;
      row.solutions = static_cast<int>(k % 3);
      row.page = page;
      tally.AddGraded(row);
    }
    if (k % 1000 == 999) tally.FileNotRead(operand, name, name);
  }
  const std::string overview = RenderOverview(tally, page);
  EXPECT_LE(overview.size(), kMaxOverviewBytes);
  EXPECT_GT(overview.size(), kMaxOverviewBytes / 2) << overview.size();  // near the bound
}

TEST(OverviewPageTest, LinkBaseFromTheNamesAlone) {
  const struct {
    std::string_view overview;
    std::string_view pages;
    std::optional<std::string> base;
  } cases[] = {
      {"overview.html", "pages", "pages/"},
      {"out/overview.html", "pages", "../pages/"},
      {"out/overview.html", "out/pages", "pages/"},
      {"./out//overview.html", "out/./pages/", "pages/"},
      {"pages/index.html", "pages", ""},
      {"a/b/overview.html", "a/c", "../c/"},
      {"overview.html", "../pages", "../pages/"},
      {"../x/overview.html", "../y", "../y/"},
      {"/tmp/overview.html", "/tmp/pages", "pages/"},
      {"/tmp/overview.html", "pages", std::nullopt},
      {"overview.html", "/tmp/pages", std::nullopt},
      {"../overview.html", "pages", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LinkBase(c.overview, c.pages), c.base) << c.overview << " " << c.pages;
  }
}

TEST(OverviewPageTest, RunPageOfABatchNamesItsLineAndLinksBack) {
  using testing::GridOf;
  using testing::InputOf;
  const PuzzleState input = InputOf(GridOf(testing::kThreeGivens), 1, 4, {4, 1, 2, 3, 4});
  RunRecorder run;
  RecordRun(input, run);
  const std::string plain = RenderPage(input, run, "a&b.txt");
  const std::string placed =
      RenderPage(input, run, "a&b.txt", BatchPlace{"a&b.txt:12", "index.html", std::nullopt});
  EXPECT_FALSE(Has(plain, "<nav"));
  EXPECT_FALSE(Has(plain, "href"));
  EXPECT_TRUE(Has(placed, "<title>tarvik: a&amp;b.txt:12 - "));
  EXPECT_TRUE(Has(placed,
                  "<header>\n<nav><a href=\"index.html\" style=\"color:var(--line)\">"
                  "Overview of the batch</a></nav>\n<h1><span>tarvik run of</span> "
                  "a&amp;b.txt:12</h1>"));
  EXPECT_EQ(Count(placed, "href"), 1u);
}

}  // namespace
}  // namespace tarvik::view
