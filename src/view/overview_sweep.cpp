// SPDX-License-Identifier: MIT
// The overview's parts for a sweep: the table of its parameter sets, share solved against steps,
// and how many sets solve each puzzle.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/diagnostics.h"
#include "view/overview_parts.h"
#include "view/page_pieces.h"

namespace tarvik::view {
namespace {

constexpr std::size_t kSolved = static_cast<std::size_t>(Outcome::kSolved);
constexpr std::string_view kStar = "\xE2\x98\x85";  // U+2605

constexpr ChartFrame kScatterFrame{
    .width = 720, .height = 320, .left = 56, .right = 16, .top = 12, .bottom = 48};
constexpr ChartFrame kHistogramFrame{
    .width = 720, .height = 260, .left = 56, .right = 16, .top = 12, .bottom = 48};

// The sets whose points are drawn with a name, the first unbeaten ones in the best order.
constexpr std::size_t kNamedPoints = 20;
// The sets' pages linked beside a puzzle that no set solves.
constexpr std::size_t kLinkedSets = 3;
// Histogram columns at most; more sets share a column.
constexpr std::size_t kMaxColumns = 40;

void WriteNumberCell(HtmlWriter& w, std::int64_t value) {
  w.Open("td").Class("num").Number(value).Close();
}

void WriteSetName(HtmlWriter& w, const SweepTally& sweep, std::size_t set) {
  w.Text("set ").Number(static_cast<std::int64_t>(set + 1)).Text(": ");
  w.OutsideText(sweep.Label(set), BatchTally::kShownCharacters);
}

double Share(std::int64_t part, std::int64_t all) {
  return all > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(all) : 0.0;
}

// The bin holding the middle puzzle (the lower of two), shown as the bin's range.
void WriteMedianCell(HtmlWriter& w, const SweepTally::Bins& bins, std::int64_t puzzles) {
  w.Open("td").Class("num");
  std::int64_t seen = 0;
  for (std::size_t bin = 0; puzzles > 0 && bin < bins.size(); ++bin) {
    seen += bins.At(bin);
    if (2 * seen < puzzles) continue;
    w.Number(BatchTally::BinLow(bin));
    if (BatchTally::BinHigh(bin) != BatchTally::BinLow(bin)) {
      w.Text("-").Number(BatchTally::BinHigh(bin));
    }
    break;
  }
  w.Close();
}

void WriteSetRow(HtmlWriter& w, const SweepTally& sweep, std::size_t set, bool unbeaten) {
  const SweepTally::SetRecord& record = sweep.record(set);
  w.Open("tr");
  if (unbeaten) w.Class("unbeaten");
  w.Open("td");
  WriteSetName(w, sweep, set);
  if (unbeaten) w.Text(" ").Open("span").Attribute("title", "unbeaten").Text(kStar).Close();
  w.Close();
  for (const std::int64_t count : record.counts.outcomes) WriteNumberCell(w, count);
  w.Open("td").Class("num");
  w.Number(Coordinate{Share(record.counts.outcomes[kSolved], record.counts.puzzles)});
  w.Text(" %").Close();
  WriteNumberCell(w, record.steps);
  WriteNumberCell(w, record.attempts);
  WriteMedianCell(w, record.stepBins, record.counts.puzzles);
  WriteMedianCell(w, record.attemptBins, record.counts.puzzles);
  WriteNumberCell(w, record.deepest);
  w.Close().Line();
}

// Grid lines across the data area and their labels, for values 0 to `top` by `step`; the
// labels go left of the area, or under it when `across`.
void WriteScale(HtmlWriter& w, const ChartFrame& frame, std::int64_t step, std::int64_t top,
                bool across, std::string_view suffix) {
  const double bottom = frame.height - frame.bottom;
  for (std::int64_t value = 0; value <= top; value += step) {
    const double share = static_cast<double>(value) / static_cast<double>(top);
    if (across) {
      const double x = frame.left + (frame.width - frame.left - frame.right) * share;
      w.OpenSvgText({x, bottom + 16}, "middle");
    } else {
      const double y = bottom - (bottom - frame.top) * share;
      if (value > 0) frame.WriteGridline(w, y);
      w.OpenSvgText({frame.left - 6, y + 4}, "end");
    }
    WriteAxisNumber(w, value);
    w.Text(suffix).Close().Line();
  }
  w.SvgLine("axis", {frame.left, bottom}, {frame.width - frame.right, bottom}).Line();
}

}  // namespace

void WriteSweepTop(HtmlWriter& w, const SweepTally& sweep, const BatchTally& best) {
  const auto sets = static_cast<std::int64_t>(sweep.sets());
  w.Open("header").Line();
  w.Open("h1").Element("span", std::string(kProgramName) + " overview of").Text(" a sweep of ");
  w.Number(sets).Text(" parameter sets over ").Number(sweep.puzzles()).Text(" puzzles from ");
  w.Number(sweep.files()).Text(sweep.files() == 1 ? " FILE" : " FILEs").Close().Line();
  w.Open("p").Class("params").Text("Best ").Open("b");
  WriteSetName(w, sweep, sweep.BestOrder().front());
  w.Close().Text(" (look-back ").Entity("middot").Text(" steps per attempt ").Entity("middot");
  w.Text(" search sequence)");
  if (best.parameters().solutions) w.Text(" ").Entity("middot").Text(" solutions counted");
  w.Close().Line();
  w.Open("dl").Class("facts").Line();
  WriteFact(w, "Parameter sets", "sets", sets);
  WriteFact(w, "Lines read", "lines-read", sweep.totals().linesRead);
  WriteFact(w, "Puzzles", "puzzles", sweep.puzzles());
  WriteFact(w, "Refused lines", "refused", sweep.totals().refused);
  WriteFact(w, "FILEs", "files", sweep.files());
  if (sweep.filesNotRead() > 0) WriteFact(w, "FILEs not read", "not-read", sweep.filesNotRead());
  w.Close().Line();
  w.Close().Line();  // header
}

void WriteSetTable(HtmlWriter& w, const SweepTally& sweep, const std::vector<std::size_t>& order,
                   const std::vector<bool>& unbeaten) {
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "parameter-sets").Text("Parameter sets").Close().Line();
  w.Open("p").Class("note").Text("Most solved first, then fewest steps over all attempts; ");
  w.Text(kStar).Text(" marks the sets that no other set beats on both.").Close().Line();
  w.Open("table").Class("rows sets").Line().Open("thead").Open("tr").Element("th", "set");
  for (std::size_t k = 0; k < kOutcomes; ++k) {
    w.Open("th").Class("num").Open("span").StartAttribute("class").Text("dot ");
    WriteOutcomeClass(w, static_cast<Outcome>(k));
    w.EndAttribute().Close();
    WriteOutcomeWords(w, static_cast<Outcome>(k));
    w.Close();
  }
  w.Element("th", "num", "share solved").Element("th", "num", "steps");
  w.Element("th", "num", "attempts").Element("th", "num", "median steps");
  w.Element("th", "num", "median attempts").Element("th", "num", "deepest guess");
  w.Close().Close().Line().Open("tbody").Line();
  const std::size_t shown = std::min(order.size(), SweepTally::kShownSets);
  for (std::size_t k = 0; k < shown; ++k) WriteSetRow(w, sweep, order[k], unbeaten[order[k]]);
  w.Close().Close().Line();  // tbody, table
  if (order.size() > shown) {
    const auto more = static_cast<std::int64_t>(order.size() - shown);
    w.Open("p").Class("note").Attribute("id", "more-sets").Text("and ").Number(more);
    w.Text(more == 1 ? " more set" : " more sets").Text(", in the rows").Close().Line();
  }
  w.Close().Line();  // section
}

void WriteSweepChart(HtmlWriter& w, const SweepTally& sweep, const std::vector<std::size_t>& order,
                     const std::vector<bool>& unbeaten) {
  const ChartFrame& frame = kScatterFrame;
  std::int64_t most = 1;
  for (std::size_t set = 0; set < sweep.sets(); ++set) {
    most = std::max(most, sweep.record(set).steps);
  }
  const std::int64_t step = AxisStep(most);
  const std::int64_t right = (most + step - 1) / step * step;
  const double bottom = frame.height - frame.bottom;
  const auto at = [&](std::size_t set) {
    const SweepTally::SetRecord& record = sweep.record(set);
    const double share = Share(record.counts.outcomes[kSolved], record.counts.puzzles) / 100.0;
    return Point{frame.left + (frame.width - frame.left - frame.right) *
                                  static_cast<double>(record.steps) / static_cast<double>(right),
                 bottom - (bottom - frame.top) * share};
  };

  w.Open("section").Line();
  w.Open("h2").Attribute("id", "sweep-chart").Text("Share solved against steps").Close().Line();
  w.Open("figure").Class("scatter").Line();
  frame.Open(w, "sweep-chart");
  WriteScale(w, frame, 20, 100, false, " %");
  WriteScale(w, frame, step, right, true, "");
  frame.WriteAxisTitle(w, "steps over all attempts", frame.height - 6);
  // Every set a dot, the unbeaten ones in a colour of their own, in one path each.
  for (const bool front : {false, true}) {
    w.Open("path").Class(front ? "front" : "point").StartAttribute("d");
    for (std::size_t set = 0; set < sweep.sets(); ++set) {
      if (unbeaten[set] != front) continue;
      const Point p = at(set);
      w.Text("M").Number(Coordinate{p.x}).Text(" ").Number(Coordinate{p.y}).Text("h0");
    }
    w.EndAttribute().SelfClose().Line();
  }
  // Unbeaten sets at one place (equal on both) come together in the best order: one name.
  std::size_t named = 0;
  bool unnamed = false;
  for (std::size_t k = 0; k < order.size(); ++k) {
    const std::size_t set = order[k];
    if (!unbeaten[set]) continue;
    if (named == kNamedPoints) {
      unnamed = true;
      break;
    }
    ++named;
    std::size_t same = k + 1;
    while (same < order.size() && sweep.record(order[same]).steps == sweep.record(set).steps &&
           sweep.record(order[same]).counts.outcomes[kSolved] ==
               sweep.record(set).counts.outcomes[kSolved]) {
      ++same;
    }
    const Point p = at(set);
    w.Open("circle").Class("front").Attribute("cx", Coordinate{p.x});
    w.Attribute("cy", Coordinate{p.y}).Attribute("r", 5).Open("title");
    for (std::size_t j = k; j < same; ++j) {
      if (j > k) w.Text(", ");
      WriteSetName(w, sweep, order[j]);
    }
    w.Close().Close().Line();
    w.OpenSvgText({p.x + 7, p.y - 7}, "start").Text(same - k > 1 ? "sets " : "set ");
    w.Number(static_cast<std::int64_t>(set + 1));
    if (same - k > 1)
      w.Text(same - k > 2 ? ", ... " : ", ").Number(static_cast<std::int64_t>(order[same - 1] + 1));
    w.Close().Line();
    k = same - 1;
  }
  w.Close().Line();  // svg
  w.Open("figcaption").Text("One dot per set; ").Text(kStar);
  w.Text(" the sets that no other set beats on both share solved and steps");
  if (unnamed)
    w.Text(", the first ").Number(static_cast<std::int64_t>(kNamedPoints)).Text(" of them named");
  w.Text(".").Close().Line();
  w.Close().Line();  // figure
  w.Close().Line();  // section
}

void WriteSolvedBy(HtmlWriter& w, const SweepTally& sweep,
                   std::optional<std::string_view> linkBase) {
  const std::span<const std::int64_t> solvedBy = sweep.solvedBy();
  const std::size_t width = (solvedBy.size() + kMaxColumns - 1) / kMaxColumns;
  std::vector<std::int64_t> columns((solvedBy.size() + width - 1) / width);
  for (std::size_t k = 0; k < solvedBy.size(); ++k) columns[k / width] += solvedBy[k];
  std::int64_t highest = 1;
  for (const std::int64_t count : columns) highest = std::max(highest, count);
  const std::int64_t step = AxisStep(highest);
  const std::int64_t top = (highest + step - 1) / step * step;
  const ChartFrame& frame = kHistogramFrame;
  const double bottom = frame.height - frame.bottom;
  const double slot =
      (frame.width - frame.left - frame.right) / static_cast<double>(columns.size());

  w.Open("section").Line();
  w.Open("h2").Attribute("id", "solved-by").Text("Puzzles by how many sets solve them");
  w.Close().Line();
  w.Open("figure").Line();
  frame.Open(w, "solved-by");
  WriteScale(w, frame, step, top, false, "");
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::int64_t low = static_cast<std::int64_t>(c * width);
    const std::int64_t high =
        static_cast<std::int64_t>(std::min((c + 1) * width, solvedBy.size()) - 1);
    const double x = frame.left + slot * static_cast<double>(c);
    const double height =
        (bottom - frame.top) * static_cast<double>(columns[c]) / static_cast<double>(top);
    w.Open("rect").Class(low == 0 ? "o-step-limit" : "o-solved");
    w.Attribute("x", Coordinate{x + slot * 0.14}).Attribute("y", Coordinate{bottom - height});
    w.Attribute("width", Coordinate{slot * 0.72}).Attribute("height", Coordinate{height});
    w.Open("title").Number(low);
    if (high != low) w.Text("-").Number(high);
    w.Text(high == 1 && low == 1 ? " set: " : " sets: ").Number(columns[c]).Text(" puzzles");
    w.Close().Close().Line();
    if (columns.size() <= 20 || c % 5 == 0 || c + 1 == columns.size()) {
      w.OpenSvgText({x + slot / 2, bottom + 16}, "middle").Number(low);
      if (high != low) w.Text("-").Number(high);
      w.Close().Line();
    }
  }
  frame.WriteAxisTitle(w, "sets that solve the puzzle", frame.height - 6);
  w.Close().Line();  // svg
  w.Close().Line();  // figure

  if (sweep.unsolved().empty()) {
    w.Element("p", "note", "Every puzzle is solved by some set.").Line();
    w.Close().Line();  // section
    return;
  }
  w.Open("p").Class("note").Text("The first puzzles that no set solves");
  if (linkBase) w.Text(", with the pages of the first sets");
  w.Text(":").Close().Line();
  w.Open("table").Class("rows unsolved").Line().Open("thead").Open("tr");
  w.Element("th", "num", "#").Element("th", "FILE:LINE");
  if (linkBase) w.Element("th", "pages");
  w.Close().Close().Line().Open("tbody").Line();
  std::int64_t rank = 0;
  std::string page;
  for (const UnsolvedPuzzle& puzzle : sweep.unsolved()) {
    w.Open("tr");
    WriteNumberCell(w, ++rank);
    w.Open("td");
    WriteFileLine(w, puzzle.source, puzzle.line);
    w.Close();
    if (linkBase) {
      w.Open("td");
      const std::size_t linked = puzzle.pageStem.empty() ? 0 : std::min(kLinkedSets, sweep.sets());
      for (std::size_t set = 0; set < linked; ++set) {
        page.assign(puzzle.pageStem).append("-").append(std::to_string(set + 1)).append(".html");
        if (page.size() > BatchTally::kMaxPageBytes) break;  // no link rather than a broken one
        if (set > 0) w.Text(" ");
        w.Open("a").Href(*linkBase, page).Text("set ").Number(static_cast<std::int64_t>(set + 1));
        w.Close();
      }
      if (linked > 0 && sweep.sets() > linked) {
        w.Text(" and ").Number(static_cast<std::int64_t>(sweep.sets() - linked)).Text(" more");
      }
      w.Close();
    }
    w.Close().Line();
  }
  w.Close().Close().Line();  // tbody, table
  if (sweep.moreUnsolved() > 0) {
    w.Open("p").Class("note").Attribute("id", "more-unsolved").Text("and ");
    w.Number(sweep.moreUnsolved()).Text(" more").Close().Line();
  }
  w.Close().Line();  // section
}

}  // namespace tarvik::view
