// SPDX-License-Identifier: MIT
#include "view/page_pieces.h"

namespace tarvik::view {

void WriteFact(HtmlWriter& w, std::string_view name, std::string_view id, std::int64_t value) {
  w.Open("div").Element("dt", name);
  w.Open("dd").Attribute("id", id).Number(value).Close();
  w.Close().Line();
}

void WriteOutcomeWords(HtmlWriter& w, Outcome outcome) {
  for (const char c : OutcomeName(outcome)) w.Text(c == '-' ? " " : std::string_view(&c, 1));
}

void ChartFrame::Open(HtmlWriter& w, std::string_view labelledBy) const {
  w.Open("svg").Class("chart").StartAttribute("viewBox").Text("0 0 ");
  w.Number(Coordinate{width}).Text(" ").Number(Coordinate{height}).EndAttribute();
  w.Attribute("role", "img").Attribute("aria-labelledby", labelledBy).Line();
}

void ChartFrame::WriteGridline(HtmlWriter& w, double y) const {
  w.SvgLine("gridline", {left, y}, {width - right, y}).Line();
}

void ChartFrame::WriteAxisTitle(HtmlWriter& w, std::string_view title, double y) const {
  w.Open("text").Class("title").Attribute("x", Coordinate{(left + width - right) / 2});
  w.Attribute("y", Coordinate{y}).Attribute("text-anchor", "middle");
  w.Text(title).Close().Line();
}

}  // namespace tarvik::view
