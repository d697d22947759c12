// SPDX-License-Identifier: MIT
// The chart of empty cells after each step: one line per attempt kept in full, or, beyond
// kFullAttempts attempts, the last attempt's line over a band that spans all the others.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "view/page_parts.h"
#include "view/page_pieces.h"

namespace tarvik::view {
namespace {

constexpr ChartFrame kFrame{
    .width = 1000, .height = 340, .left = 58, .right = 16, .top = 14, .bottom = 50};

struct ChartScale {
  int steps = 5;   // the last step on the x axis
  int empty = 10;  // the top of the y axis
  double X(int step) const {
    return kFrame.left + (kFrame.width - kFrame.left - kFrame.right) * step / steps;
  }
  double Y(std::int32_t count) const {
    const double clamped = std::clamp(count, 0, empty);
    return kFrame.top + (kFrame.height - kFrame.top - kFrame.bottom) * (1.0 - clamped / empty);
  }
  Point At(int step, std::int32_t count) const { return {X(step), Y(count)}; }
};

// What the chart draws: the lines, and whether a band stands for the attempts not among them.
struct ChartContent {
  std::vector<const DrawnAttempt*> lines;
  const StepBand* band = nullptr;
};

std::int32_t CountAt(const DrawnAttempt& attempt, int step) {
  return step == 0 ? attempt.summary.emptyAtStart
                   : attempt.steps[static_cast<std::size_t>(step) - 1].emptyAfter;
}

// Wide enough for the longest line and the band, high enough for the most empty cells, in tens.
ChartScale ScaleOf(const ChartContent& content) {
  ChartScale scale;
  std::int32_t highest = 0;
  for (const DrawnAttempt* attempt : content.lines) {
    const int length = static_cast<int>(attempt->steps.size());
    scale.steps = std::max(scale.steps, length);
    for (int k = 0; k <= length; ++k) highest = std::max(highest, CountAt(*attempt, k));
  }
  if (content.band != nullptr) {
    const StepBand& band = *content.band;
    scale.steps = std::max(scale.steps, band.longest);
    for (int k = 0; k <= band.longest; ++k) {
      highest = std::max(highest, band.high[static_cast<std::size_t>(k)]);
    }
  }
  scale.empty = std::clamp((std::min(highest, 81) + 9) / 10 * 10, 10, 90);
  return scale;
}

// "78 to 74 empty cells in 5 steps"
void WriteRunOfCounts(HtmlWriter& w, const DrawnAttempt& attempt) {
  const AttemptSummary& summary = attempt.summary;
  w.Number(summary.emptyAtStart).Text(" to ").Number(summary.emptyAtEnd);
  w.Text(" empty cells in ").Number(summary.steps).Text(summary.steps == 1 ? " step" : " steps");
}

// The chart's title and description, for those who cannot see it.
void WriteTitleAndDescription(HtmlWriter& w, const RunRecorder& run, const ChartContent& content) {
  w.Open("title").Attribute("id", "chart-title").Text("Empty cells after each step, ");
  w.Text(content.band != nullptr ? "the final attempt over the range of the others"
                                 : "one line per attempt");
  w.Close().Line();
  w.Open("desc").Attribute("id", "chart-desc");
  if (content.band != nullptr) {
    w.Text("The final attempt, number ").Number(run.last().summary.number).Text(", goes from ");
    WriteRunOfCounts(w, run.last());
    w.Text(". The shaded band spans the fewest and the most empty cells after each step over the ");
    w.Number(content.band->attempts).Text(" other attempts, which ran up to ");
    w.Number(content.band->longest).Text(" steps.");
  } else {
    for (const DrawnAttempt* attempt : content.lines) {
      if (attempt != content.lines.front()) w.Text(" ");
      w.Text("Attempt ").Number(attempt->summary.number).Text(" goes from ");
      WriteRunOfCounts(w, *attempt);
      w.Text(".");
    }
  }
  w.Close().Line();
}

// Grid lines and labels every 10 empty cells, ticks at about ten round steps, the axes and their
// titles.
void WriteAxes(HtmlWriter& w, const ChartScale& scale) {
  const double xAxis = scale.Y(0);
  const double right = kFrame.width - kFrame.right;
  for (int count = 0; count <= scale.empty; count += 10) {
    const double y = scale.Y(count);
    if (count > 0) kFrame.WriteGridline(w, y);
    w.OpenSvgText({kFrame.left - 8, y + 4.5}, "end").Number(count).Close().Line();
  }
  int every = 1;
  for (const int candidate : {1, 2, 5, 10, 20}) {
    every = candidate;
    if (scale.steps / candidate <= 12) break;
  }
  for (int step = 0; step <= scale.steps; step += every) {
    const double x = scale.X(step);
    w.SvgLine("axis", {x, xAxis}, {x, xAxis + 5}).Line();
    w.OpenSvgText({x, xAxis + 20}, "middle").Number(step).Close().Line();
  }
  w.Open("path").Class("axis").Attribute("fill", "none").StartAttribute("d");
  w.Text("M").Number(Coordinate{kFrame.left}).Text(" ").Number(Coordinate{kFrame.top});
  w.Text("V").Number(Coordinate{xAxis}).Text("H").Number(Coordinate{right});
  w.EndAttribute().SelfClose().Line();

  kFrame.WriteAxisTitle(w, "Step of the attempt", kFrame.height - 6);
  const double middle = (kFrame.top + xAxis) / 2;
  w.Open("text").Class("title").Attribute("x", 14).Attribute("y", Coordinate{middle});
  w.Attribute("text-anchor", "middle").StartAttribute("transform").Text("rotate(-90 14 ");
  w.Number(Coordinate{middle}).Text(")").EndAttribute();
  w.Text("Empty cells").Close().Line();
}

// The band over the attempts not drawn as lines: their most empty cells after each step, then
// their fewest, back to the start.
void WriteBand(HtmlWriter& w, const ChartScale& scale, const StepBand& band) {
  if (band.longest < 0) return;
  std::array<Point, std::size_t{2} * (DrawnAttempt::kMaxSteps + 1)> points{};
  std::size_t n = 0;
  for (int k = 0; k <= band.longest; ++k) {
    points[n++] = scale.At(k, band.high[static_cast<std::size_t>(k)]);
  }
  for (int k = band.longest; k >= 0; --k) {
    points[n++] = scale.At(k, band.low[static_cast<std::size_t>(k)]);
  }
  w.Open("polygon").Class("band").Attribute("points", std::span<const Point>(points.data(), n));
  w.Open("title").Text("Range of the ").Number(band.attempts).Text(" other attempts").Close();
  w.Close().Line();
}

void WriteAttemptLine(HtmlWriter& w, const ChartScale& scale, const DrawnAttempt& attempt,
                      bool isLast) {
  std::array<Point, DrawnAttempt::kMaxSteps + 1> points{};
  const int length = static_cast<int>(attempt.steps.size());
  for (int k = 0; k <= length; ++k)
    points[static_cast<std::size_t>(k)] = scale.At(k, CountAt(attempt, k));
  w.Open("polyline").Class(isLast ? "attempt final" : "attempt");
  w.Attribute("points",
              std::span<const Point>(points.data(), static_cast<std::size_t>(length) + 1));
  w.Open("title").Text("Attempt ").Number(attempt.summary.number).Text(": ");
  WriteRunOfCounts(w, attempt);
  w.Close().Close().Line();
}

// The key below the chart: the final attempt, and the band or the earlier attempts.
void WriteChartKey(HtmlWriter& w, const RunRecorder& run, const ChartContent& content) {
  w.Open("ul").Class("chart-key").Line();
  w.Open("li").Open("span").Class("swatch final").Close().Text("final attempt (");
  w.Number(run.last().summary.number).Text(")").Close().Line();
  if (content.band != nullptr) {
    w.Open("li").Open("span").Class("swatch band").Close().Text("range of the other ");
    w.Number(content.band->attempts).Text(" attempts").Close().Line();
  } else if (content.lines.size() > 1) {
    w.Open("li").Open("span").Class("swatch").Close().Text("earlier attempts").Close().Line();
  }
  w.Close().Line();
}

}  // namespace

void WriteChart(HtmlWriter& w, const RunRecorder& run,
                const std::vector<const DrawnAttempt*>& full) {
  ChartContent content;
  if (run.summary().run.attempts > kFullAttempts) {
    content.lines.push_back(&run.last());
    content.band = &run.band();
  } else {
    content.lines = full;
  }
  const ChartScale scale = ScaleOf(content);

  w.Open("section").Line();
  w.Open("h2").Attribute("id", "chart-heading").Text("Empty cells after each step").Close().Line();
  kFrame.Open(w, "chart-title chart-desc");
  WriteTitleAndDescription(w, run, content);
  WriteAxes(w, scale);
  if (content.band != nullptr) WriteBand(w, scale, *content.band);
  for (const DrawnAttempt* attempt : content.lines) {
    WriteAttemptLine(w, scale, *attempt, attempt == &run.last());
  }
  w.Close().Line();  // svg
  WriteChartKey(w, run, content);
  w.Close().Line();  // section
}

}  // namespace tarvik::view
