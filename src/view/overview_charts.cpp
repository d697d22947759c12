// SPDX-License-Identifier: MIT
// The overview's drawings: stacked bars of lines by outcome, and the charts of attempts, steps
// and deepest guess level, one column per bin, stacked by outcome.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "view/overview_parts.h"
#include "view/page_pieces.h"

namespace tarvik::view {
namespace {

// Its bottom margin holds the bins' labels, upright, and the axis title.
constexpr ChartFrame kFrame{
    .width = 360, .height = 270, .left = 50, .right = 6, .top = 10, .bottom = 96};

// What one chart shows: a column per bin, the counts of each outcome stacked in it.
struct Distribution {
  std::string_view id;     // of the chart's title, and prefix of its other ids
  std::string_view title;  // above the chart
  std::string_view axis;   // under it
  std::array<std::span<const std::int64_t>, kOutcomes> bins;
  std::size_t shown = 0;  // bins 0 to shown - 1
  bool ranges = false;    // bins of counts (0, 1, 2, 3-4, ...) rather than levels 0 to 10
};

void WriteBinName(HtmlWriter& w, const Distribution& chart, std::size_t bin) {
  if (!chart.ranges) {
    w.Number(static_cast<std::int64_t>(bin));
    return;
  }
  w.Number(BatchTally::BinLow(bin));
  if (BatchTally::BinHigh(bin) != BatchTally::BinLow(bin)) {
    w.Text("-").Number(BatchTally::BinHigh(bin));
  }
}

std::int64_t ColumnTotal(const Distribution& chart, std::size_t bin) {
  std::int64_t total = 0;
  for (const std::span<const std::int64_t> counts : chart.bins) total += counts[bin];
  return total;
}

// Grid lines and their counts, then the axes.
void WriteCountAxis(HtmlWriter& w, std::int64_t step, std::int64_t top) {
  const double bottom = kFrame.height - kFrame.bottom;
  for (std::int64_t value = 0; value <= top; value += step) {
    const double y =
        bottom - (bottom - kFrame.top) * static_cast<double>(value) / static_cast<double>(top);
    if (value > 0) kFrame.WriteGridline(w, y);
    w.OpenSvgText({kFrame.left - 6, y + 4}, "end");
    WriteAxisNumber(w, value);
    w.Close().Line();
  }
  w.SvgLine("axis", {kFrame.left, bottom}, {kFrame.width - kFrame.right, bottom}).Line();
}

// A bin's label under its column, upright when the labels are ranges.
void WriteBinLabel(HtmlWriter& w, const Distribution& chart, std::size_t bin, double x) {
  const double y = kFrame.height - kFrame.bottom + 8;
  if (chart.ranges) {
    w.Open("text").Attribute("x", Coordinate{x + 4}).Attribute("y", Coordinate{y});
    w.Attribute("text-anchor", "end").StartAttribute("transform").Text("rotate(-90 ");
    w.Number(Coordinate{x + 4}).Text(" ").Number(Coordinate{y}).Text(")").EndAttribute();
  } else {
    w.OpenSvgText({x, y + 10}, "middle");
  }
  WriteBinName(w, chart, bin);
  w.Close().Line();
}

// One column: its parts from the bottom up, in the order of the outcomes.
void WriteColumn(HtmlWriter& w, const Distribution& chart, std::size_t bin, double x, double width,
                 double perCount) {
  double y = kFrame.height - kFrame.bottom;
  for (std::size_t k = 0; k < kOutcomes; ++k) {
    const std::int64_t count = chart.bins[k][bin];
    if (count == 0) continue;
    const double height = perCount * static_cast<double>(count);
    y -= height;
    w.Open("rect").StartAttribute("class");
    WriteOutcomeClass(w, static_cast<Outcome>(k));
    w.EndAttribute().Attribute("x", Coordinate{x}).Attribute("y", Coordinate{y});
    w.Attribute("width", Coordinate{width}).Attribute("height", Coordinate{height});
    w.Open("title");
    WriteBinName(w, chart, bin);
    w.Text(": ").Number(count).Text(" ");
    WriteOutcomeWords(w, static_cast<Outcome>(k));
    w.Close().Close().Line();
  }
}

void WriteChartOf(HtmlWriter& w, const Distribution& chart) {
  std::int64_t highest = 1;
  for (std::size_t bin = 0; bin < chart.shown; ++bin) {
    highest = std::max(highest, ColumnTotal(chart, bin));
  }
  const std::int64_t step = AxisStep(highest);
  const std::int64_t top = (highest + step - 1) / step * step;
  const double perCount = (kFrame.height - kFrame.bottom - kFrame.top) / static_cast<double>(top);
  const double slot =
      (kFrame.width - kFrame.left - kFrame.right) / static_cast<double>(chart.shown);

  w.Open("figure").Line();
  w.Open("figcaption").Attribute("id", chart.id).Text(chart.title).Close().Line();
  kFrame.Open(w, chart.id);
  WriteCountAxis(w, step, top);
  for (std::size_t bin = 0; bin < chart.shown; ++bin) {
    const double x = kFrame.left + slot * static_cast<double>(bin);
    WriteColumn(w, chart, bin, x + slot * 0.14, slot * 0.72, perCount);
    WriteBinLabel(w, chart, bin, x + slot / 2);
  }
  kFrame.WriteAxisTitle(w, chart.axis, kFrame.height - 4);
  w.Close().Line();  // svg
  w.Close().Line();  // figure
}

// Up to the last bin with a puzzle in it, and at least to `least` bins.
template <std::size_t kBinCount>
Distribution DistributionOf(const OutcomeBins<kBinCount>& bins, std::size_t least) {
  Distribution chart;
  chart.shown = std::min(least, kBinCount);
  for (std::size_t k = 0; k < kOutcomes; ++k) {
    chart.bins[k] = bins[k];
    for (std::size_t bin = chart.shown; bin < kBinCount; ++bin) {
      if (bins[k][bin] != 0) chart.shown = bin + 1;
    }
  }
  return chart;
}

}  // namespace

std::int64_t AxisStep(std::int64_t highest) {
  std::int64_t step = 1;
  for (;;) {
    for (const std::int64_t factor : {1, 2, 5}) {
      if (highest <= 4 * step * factor) return step * factor;
    }
    step *= 10;
  }
}

void WriteAxisNumber(HtmlWriter& w, std::int64_t value) {
  if (value >= 1'000'000 && value % 1'000'000 == 0) {
    w.Number(value / 1'000'000).Text("M");
  } else if (value >= 10'000 && value % 1'000 == 0) {
    w.Number(value / 1'000).Text("k");
  } else {
    w.Number(value);
  }
}

void WriteStackedBar(HtmlWriter& w, const LineCounts& counts, int width, int height) {
  std::array<std::int64_t, kOutcomes + 1> parts{};
  std::copy(counts.outcomes.begin(), counts.outcomes.end(), parts.begin());
  parts[kOutcomes] = counts.refused;
  std::int64_t all = 0;
  for (const std::int64_t part : parts) all += part;
  w.Open("svg").Class("bar").StartAttribute("viewBox").Text("0 0 ").Number(width).Text(" ");
  w.Number(height).EndAttribute().Attribute("preserveAspectRatio", "none");
  w.Attribute("role", "img").Attribute("aria-label", "lines by outcome");
  std::int64_t before = 0;
  for (std::size_t k = 0; k < parts.size() && all > 0; ++k) {
    if (parts[k] == 0) continue;
    const auto at = [&](std::int64_t n) {
      return static_cast<double>(width) * static_cast<double>(n) / static_cast<double>(all);
    };
    w.Open("rect").StartAttribute("class");
    if (k < kOutcomes) {
      WriteOutcomeClass(w, static_cast<Outcome>(k));
    } else {
      w.Text("o-refused");
    }
    w.EndAttribute().Attribute("x", Coordinate{at(before)}).Attribute("y", 0);
    w.Attribute("width", Coordinate{at(before + parts[k]) - at(before)});
    w.Attribute("height", height).Open("title");
    if (k < kOutcomes) {
      WriteOutcomeWords(w, static_cast<Outcome>(k));
    } else {
      w.Text("refused");
    }
    w.Text(": ").Number(parts[k]).Close().Close();
    before += parts[k];
  }
  w.Close().Line();
}

void WriteDistributions(HtmlWriter& w, const BatchTally& tally) {
  Distribution attempts = DistributionOf(tally.attempts(), 5);
  attempts.id = "attempts-chart";
  attempts.title = "Attempts";
  attempts.axis = "attempts per puzzle";
  attempts.ranges = true;
  Distribution steps = DistributionOf(tally.steps(), 8);
  steps.id = "steps-chart";
  steps.title = "Steps";
  steps.axis = "steps per puzzle, all attempts";
  steps.ranges = true;
  Distribution depths = DistributionOf(tally.depths(), BatchTally::kMaxDepth + 1);
  depths.id = "depth-chart";
  depths.title = "Deepest guess level";
  depths.axis = "guess level";

  w.Open("section").Line();
  w.Open("h2").Attribute("id", "distributions").Text("Puzzles by attempts, steps and depth");
  w.Close().Line();
  w.Open("div").Class("dists").Line();
  for (const Distribution* chart : {&attempts, &steps, &depths}) WriteChartOf(w, *chart);
  w.Close().Line();  // div
  w.Close().Line();  // section
}

}  // namespace tarvik::view
