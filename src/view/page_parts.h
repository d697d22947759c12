// SPDX-License-Identifier: MIT
#pragma once

// The parts of the run page, each written by a file of its own; run_page.cpp puts them together.

#include <span>
#include <string_view>
#include <vector>

#include "state/puzzle_state.h"
#include "view/html_writer.h"
#include "view/palette.h"
#include "view/run_recorder.h"

namespace tarvik::view {

inline constexpr int kFullAttempts = 2 * RunRecorder::kFullAtEachEnd;

// A technique as the page marks it: its letter, its CSS class and its name.
constexpr std::string_view LetterOf(Technique technique) {
  switch (technique) {
    case Technique::kRows: return "R";
    case Technique::kColumns: return "C";
    case Technique::kBoxes: return "B";
    case Technique::kSingleValue: return "V";
  }
  return "";
}

constexpr std::string_view ClassOf(Technique technique) {
  switch (technique) {
    case Technique::kRows: return "t-r";
    case Technique::kColumns: return "t-c";
    case Technique::kBoxes: return "t-b";
    case Technique::kSingleValue: return "t-v";
  }
  return "";
}

constexpr std::string_view NameOf(Technique technique) {
  switch (technique) {
    case Technique::kRows: return "rows";
    case Technique::kColumns: return "columns";
    case Technique::kBoxes: return "boxes";
    case Technique::kSingleValue: return "single values";
  }
  return "";
}

// A page up to its open <title>: the doctype, <html>, <head> and the meta elements
// (page_style.cpp).
void OpenDocument(HtmlWriter& w);
// Ends the <head> and opens <body> and its <main>.
void OpenMain(HtmlWriter& w);

// The <style> element: the colours of the light, the dark and the print scheme, then the rules
// (page_style.cpp).
void WriteStyle(HtmlWriter& w);
// The same with more colours, and more rules after the page's own (the overview's).
void WriteStyle(HtmlWriter& w, std::span<const Colour> moreColours, std::string_view moreRules);

// The start grid and the final grid, with the key to its marks (page_grids.cpp).
void WriteGrids(HtmlWriter& w, const PuzzleState& input, const RunRecorder& run);

// The chart of empty cells after each step (page_chart.cpp).
void WriteChart(HtmlWriter& w, const RunRecorder& run,
                const std::vector<const DrawnAttempt*>& full);

// Every attempt: the ones kept in full, and one row each for the others (page_attempts.cpp).
void WriteAttempts(HtmlWriter& w, const PuzzleState& input, const RunRecorder& run,
                   const std::vector<const DrawnAttempt*>& full);

}  // namespace tarvik::view
