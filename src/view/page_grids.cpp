// SPDX-License-Identifier: MIT
// The start grid and the final grid, drawn by one function, and the key to the final grid's marks.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "view/page_parts.h"

namespace tarvik::view {
namespace {

// What filled a cell in the last attempt.
struct CellMark {
  std::string_view letter;  // R, C, B, V, or G for a guess; empty for none
  std::string_view cssClass;
  std::string_view description;
  std::int32_t number = 0;  // step or guess level
};

using Marks = std::array<std::array<CellMark, 10>, 10>;

// What filled each cell in the last attempt: its guesses, then its steps.
Marks MarksOf(const DrawnAttempt& attempt) {
  Marks marks{};
  const auto at = [&marks](const Cell& cell) -> CellMark& {
    return marks[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.column)];
  };
  const int kept = std::min(attempt.summary.guessCount, AttemptSummary::kMaxGuesses);
  for (int k = 0; k < kept; ++k) {
    at(attempt.summary.guesses[static_cast<std::size_t>(k)]) = {"G", "t-g", "guess", k + 1};
  }
  for (const DrawnStep& step : attempt.steps) {
    for (int k = 0; k < step.fillCount; ++k) {
      at(attempt.fills[static_cast<std::size_t>(step.firstFill) + static_cast<std::size_t>(k)]) = {
          LetterOf(step.technique), ClassOf(step.technique), NameOf(step.technique), step.number};
    }
  }
  return marks;
}

// One cell: empty, a given, a cell marked with what filled it, or a value alone.
void WriteCell(HtmlWriter& w, int value, bool given, const CellMark& mark) {
  w.Open("td");
  if (value != 0 && given) {
    w.Class("given");
  } else if (value != 0 && !mark.letter.empty()) {
    w.Class(mark.cssClass).StartAttribute("title").Text(mark.description);
    w.Text(mark.letter == "G" ? ", level " : ", step ").Number(mark.number).EndAttribute();
    w.Open("small").Text(mark.letter).Number(mark.number).Close();
  }
  if (value != 0) w.Number(value);
  w.Close();
}

// A grid of `values`, the cells of `givens` shown as given and the others with their marks.
void WriteGrid(HtmlWriter& w, std::string_view id, const Grid& values, const Grid& givens,
               const Marks& marks) {
  w.Open("table").Class("grid").Attribute("id", id).Line();
  w.Open("thead").Open("tr").Open("td").Close();
  for (int j = 1; j <= 9; ++j) w.Open("th").Attribute("scope", "col").Number(j).Close();
  w.Close().Close().Line();  // tr, thead
  w.Open("tbody").Line();
  for (int i = 1; i <= 9; ++i) {
    w.Open("tr").Open("th").Attribute("scope", "row").Number(i).Close();
    for (int j = 1; j <= 9; ++j) {
      WriteCell(w, values(i, j), givens(i, j) != 0,
                marks[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
    }
    w.Close().Line();
  }
  w.Close().Close().Line();  // tbody, table
}

struct KeyItem {
  std::string_view cssClass;
  std::string_view letter;
  std::string_view meaning;
};

constexpr KeyItem kKey[] = {
    {"key given", "5", " given"},
    {"key t-r", "R", " only place for a value in its row"},
    {"key t-c", "C", " only place in its column"},
    {"key t-b", "B", " only place in its box"},
    {"key t-v", "V", " only value left for the cell"},
    {"key t-g", "G", " guess, with its level"},
};

void WriteKey(HtmlWriter& w) {
  w.Open("ul").Class("legend").Attribute("aria-label", "Key to the final grid").Line();
  for (const KeyItem& item : kKey) {
    w.Open("li").Element("span", item.cssClass, item.letter).Text(item.meaning).Close().Line();
  }
  w.Element("li", "the number after the letter: the step that filled the cell").Line();
  w.Close().Line();
}

}  // namespace

void WriteGrids(HtmlWriter& w, const PuzzleState& input, const RunRecorder& run) {
  const PageSummary& summary = run.summary();
  const DrawnAttempt& last = run.last();
  int givens = 0;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) givens += input.SSTART(i, j) != 0 ? 1 : 0;
  }
  w.Open("section").Class("grids").Attribute("aria-label", "Start grid and final grid").Line();

  w.Open("figure").Line();
  w.Open("figcaption").Text("Start grid ").Open("span").Entity("middot").Text(" ");
  w.Number(givens).Text(" givens").Close().Close().Line();
  WriteGrid(w, "start-grid", input.SSTART, input.SSTART, Marks{});
  w.Close().Line();  // figure

  w.Open("figure").Line();
  w.Open("figcaption").Text("Final grid ").Open("span").Entity("middot").Text(" attempt ");
  w.Number(last.summary.number).Text(" ").Entity("middot").Text(" ").Number(summary.empty);
  w.Text(summary.empty == 1 ? " empty cell" : " empty cells").Close().Close().Line();
  WriteGrid(w, "final-grid", summary.finalGrid, input.SSTART, MarksOf(last));
  w.Close().Line();  // figure
  w.Close().Line();  // section

  WriteKey(w);
}

}  // namespace tarvik::view
