// SPDX-License-Identifier: MIT
#pragma once

// What the run page and the overview write alike: a fact of the list under the title, an outcome
// in words, and the frame of a chart (page_pieces.cpp).

#include <cstdint>
#include <string_view>

#include "control/run_summary.h"
#include "view/html_writer.h"

namespace tarvik::view {

// One fact of the list under the title: its name, and its value with the id a test finds it by.
void WriteFact(HtmlWriter& w, std::string_view name, std::string_view id, std::int64_t value);

// The outcome's name in words: its hyphens read as blanks.
void WriteOutcomeWords(HtmlWriter& w, Outcome outcome);

// A chart's drawing: its size, and the margins between its edges and the area the data is drawn
// in, in the drawing's own units.
struct ChartFrame {
  double width;
  double height;
  double left;
  double right;
  double top;
  double bottom;

  // Opens the chart's <svg>, scaled to its box, named by the elements `labelledBy` lists; the
  // caller draws into it and closes it.
  void Open(HtmlWriter& w, std::string_view labelledBy) const;
  // A grid line across the data area at height `y`.
  void WriteGridline(HtmlWriter& w, double y) const;
  // The title of the horizontal axis, centred under the data area, its baseline `y`.
  void WriteAxisTitle(HtmlWriter& w, std::string_view title, double y) const;
};

}  // namespace tarvik::view
