// SPDX-License-Identifier: MIT
// The overview of a batch: its head and top, the outcomes of all its lines, and the parts of
// overview_charts.cpp and overview_tables.cpp, in the style of the run page.
#include "view/overview_page.h"

#include <cstdint>
#include <string>
#include <vector>

#include "system/diagnostics.h"
#include "view/html_writer.h"
#include "view/overview_parts.h"
#include "view/page_parts.h"
#include "view/page_pieces.h"
#include "view/palette.h"

namespace tarvik::view {
namespace {

constexpr std::string_view kOverviewStyle = R"css(
.o-solved{fill:var(--o-solved);background:var(--o-solved)}
.o-step-limit{fill:var(--o-step-limit);background:var(--o-step-limit)}
.o-no-solution{fill:var(--o-no-solution);background:var(--o-no-solution)}
.o-no-further-guesses{fill:var(--o-no-further-guesses);background:var(--o-no-further-guesses)}
.o-refused{fill:var(--o-refused);background:var(--o-refused)}
svg.bar{display:block;width:100%;height:auto}
.tally{display:flex;flex-wrap:wrap;gap:6px 26px;list-style:none;margin:8px 0 0;padding:0;font-size:14px;font-variant-numeric:tabular-nums}
.tally b{font-weight:600}
.dot{display:inline-block;width:13px;height:13px;border-radius:3px;margin-right:7px;vertical-align:-2px}
.dists{display:grid;grid-template-columns:repeat(3,minmax(0,1fr));gap:12px 22px}
.dists figcaption{font-size:15px}
.dists .chart text{font-size:12px}
.rows td.bar{width:190px;padding-top:6px}
.rows td.bar svg{display:block;width:170px;height:14px}
.rows td.why{color:var(--bad);white-space:normal;overflow-wrap:anywhere}
.files th{white-space:normal}
.files td:first-child,.hardest td:nth-child(2),.differing td:nth-child(2),.refused td:first-child{overflow-wrap:anywhere}
.rows tfoot td{font-weight:600;border-top:2px solid var(--frame)}
.rows .more td{color:var(--muted)}
table.cross{border-collapse:collapse;font-variant-numeric:tabular-nums;font-size:14px}
.cross th,.cross td{padding:4px 14px;border:1px solid var(--rule);text-align:right}
.cross th{color:var(--muted);font-weight:600}
.cross th[scope=row]{text-align:left}
.cross td.mislead{background:var(--guess);color:var(--text);font-weight:700}
.hardest .puzzle{font-size:12px;word-break:break-all}
.hardest td:nth-child(4){white-space:nowrap}
a{color:var(--line)}
@media (max-width:900px){.dists{grid-template-columns:minmax(0,1fr)}}
@media print{.dists{grid-template-columns:repeat(3,minmax(0,1fr))}.rows td.bar svg{width:120px}}
)css";

// Beside the overview's own rules, for a sweep's parts.
constexpr std::string_view kSweepStyle = R"css(.sets th{white-space:normal}
.sets td:first-child{overflow-wrap:anywhere;min-width:11em}
.sets tr.unbeaten td:first-child{font-weight:600}
.sets tr.unbeaten span{color:var(--o-solved)}
.scatter svg.chart{max-width:760px}
.scatter path{fill:none;stroke-linecap:round;stroke-width:7}
.scatter path.point{stroke:var(--muted)}
.scatter path.front,.scatter circle.front{stroke:var(--o-solved)}
.scatter circle.front{fill:var(--o-solved)}
.scatter text{font-size:12px}
.unsolved td:nth-child(2){overflow-wrap:anywhere}
#solved-by+figure svg.chart{max-width:760px}
)css";

std::int64_t FileCount(const BatchTally& tally) {
  return static_cast<std::int64_t>(tally.files().size()) + tally.moreFiles();
}

void WriteHead(HtmlWriter& w, const BatchTally& tally) {
  OpenDocument(w);
  w.Text(kProgramName).Text(": overview of ").Number(tally.totals().puzzles).Text(" puzzles");
  w.Close().Line();
  WriteStyle(w, kOutcomeColours, kOverviewStyle);
  OpenMain(w);
}

void WriteSweepHead(HtmlWriter& w, const SweepTally& sweep) {
  OpenDocument(w);
  w.Text(kProgramName).Text(": overview of a sweep of ");
  w.Number(static_cast<std::int64_t>(sweep.sets())).Text(" parameter sets over ");
  w.Number(sweep.puzzles()).Text(" puzzles").Close().Line();
  WriteStyle(w, kOutcomeColours, std::string(kOverviewStyle).append(kSweepStyle));
  OpenMain(w);
}

void WriteTop(HtmlWriter& w, const BatchTally& tally) {
  const RunParameters& parameters = tally.parameters();
  const std::int64_t files = FileCount(tally);
  w.Open("header").Line();
  w.Open("h1").Element("span", std::string(kProgramName) + " overview of").Text(" ");
  w.Number(tally.totals().puzzles).Text(" puzzles from ").Number(files);
  w.Text(files == 1 ? " FILE" : " FILEs").Close().Line();
  w.Open("p").Class("params").Text("Look-back ").Open("b").Number(parameters.lookBack).Close();
  w.Text(" steps ").Entity("middot").Text(" at most ").Open("b").Number(parameters.steps).Close();
  w.Text(" steps per attempt ").Entity("middot").Text(" search sequence ").Open("code");
  w.OutsideText(parameters.sequence, BatchTally::kShownCharacters).Close();
  if (parameters.solutions) w.Text(" ").Entity("middot").Text(" solutions counted");
  w.Close().Line();
  w.Open("dl").Class("facts").Line();
  WriteFact(w, "Lines read", "lines-read", tally.totals().linesRead);
  WriteFact(w, "Puzzles", "puzzles", tally.totals().puzzles);
  WriteFact(w, "Refused lines", "refused", tally.totals().refused);
  WriteFact(w, "FILEs", "files", files);
  if (tally.filesNotRead() > 0) WriteFact(w, "FILEs not read", "not-read", tally.filesNotRead());
  w.Close().Line();
  w.Close().Line();  // header
}

// One entry of the key under the bar of all lines: "solved 812 (81.2 %)".
void WriteKeyEntry(HtmlWriter& w, std::int64_t count, std::int64_t all) {
  w.Text(" ").Open("b").Number(count).Close();
  if (all > 0) {
    w.Text(" (").Number(Coordinate{100.0 * static_cast<double>(count) / static_cast<double>(all)});
    w.Text(" %)");
  }
  w.Close().Line();
}

// The bar of all lines, and its key with every count.
void WriteOutcomes(HtmlWriter& w, const BatchTally& tally) {
  const LineCounts& totals = tally.totals();
  const std::int64_t all = totals.puzzles + totals.refused;
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "outcomes").Text("Outcomes").Close().Line();
  WriteStackedBar(w, totals, 1000, 34);
  w.Open("ul").Class("tally").Attribute("id", "outcome-key").Line();
  for (std::size_t k = 0; k < kOutcomes; ++k) {
    const auto outcome = static_cast<Outcome>(k);
    w.Open("li").Open("span").StartAttribute("class").Text("dot ");
    WriteOutcomeClass(w, outcome);
    w.EndAttribute().Close();
    WriteOutcomeWords(w, outcome);
    WriteKeyEntry(w, totals.outcomes[k], all);
  }
  w.Open("li").Open("span").Class("dot o-refused").Close().Text("refused");
  WriteKeyEntry(w, totals.refused, all);
  w.Close().Line();  // ul
  w.Close().Line();  // section
}

// A name's parts between slashes, without empty ones and ".".
std::vector<std::string_view> PartsOf(std::string_view name) {
  std::vector<std::string_view> parts;
  while (!name.empty()) {
    const std::size_t slash = name.find('/');
    const std::string_view part = name.substr(0, slash);
    if (!part.empty() && part != ".") parts.push_back(part);
    if (slash == std::string_view::npos) break;
    name.remove_prefix(slash + 1);
  }
  return parts;
}

}  // namespace

void WriteOutcomeClass(HtmlWriter& w, Outcome outcome) { w.Text("o-").Text(OutcomeName(outcome)); }

void WriteFileLine(HtmlWriter& w, std::string_view source, std::int64_t line) {
  w.OutsideText(source, BatchTally::kShownCharacters).Text(":").Number(line);
}

namespace {

// The sections of a batch's page after its top, and the document's end: the whole of a plain
// batch's page, and the best set's part of a sweep's.
void WriteSections(HtmlWriter& w, const BatchTally& tally,
                   std::optional<std::string_view> linkBase) {
  WriteOutcomes(w, tally);
  WriteDistributions(w, tally);
  WriteFileTable(w, tally);
  WriteSolutions(w, tally);
  WriteHardest(w, tally, linkBase);
  WriteAnswers(w, tally, linkBase);
  WriteRefused(w, tally);
  w.Close().Line();  // main
  w.Close().Line();  // body
  w.Close().Line();  // html
}

}  // namespace

std::string RenderOverview(const BatchTally& tally, std::optional<std::string_view> linkBase) {
  std::string out;
  out.reserve(std::size_t{128} * 1024);
  HtmlWriter w(out);
  WriteHead(w, tally);
  WriteTop(w, tally);
  WriteSections(w, tally, linkBase);
  return out;
}

namespace {

// The page of a sweep; `unlinked` when its links were left out to keep it within its bound.
std::string RenderSweep(const SweepTally& sweep, const BatchTally& best,
                        std::optional<std::string_view> linkBase, bool unlinked) {
  std::string out;
  out.reserve(std::size_t{256} * 1024);
  HtmlWriter w(out);
  const std::vector<std::size_t> order = sweep.BestOrder();
  const std::vector<bool> unbeaten = sweep.Unbeaten();
  WriteSweepHead(w, sweep);
  WriteSweepTop(w, sweep, best);
  if (unlinked) {
    w.Open("p").Class("note").Attribute("id", "unlinked");
    w.Text("The puzzles' pages are not linked: their names would take this page past ");
    w.Number(static_cast<std::int64_t>(kMaxOverviewBytes)).Text(" bytes.").Close().Line();
  }
  WriteSetTable(w, sweep, order, unbeaten);
  WriteSweepChart(w, sweep, order, unbeaten);
  WriteSolvedBy(w, sweep, linkBase);
  w.Open("h2").Class("best").Attribute("id", "best-set").Text("The best set, ");
  w.Text("set ").Number(static_cast<std::int64_t>(order.front() + 1)).Text(": ");
  w.OutsideText(sweep.Label(order.front()), BatchTally::kShownCharacters).Close().Line();
  w.Open("p").Class("note").Text("The sections below are the best set's alone.").Close().Line();
  WriteSections(w, best, linkBase);
  return out;
}

}  // namespace

std::string RenderOverview(const SweepTally& sweep, const BatchTally& best,
                           std::optional<std::string_view> linkBase) {
  std::string page = RenderSweep(sweep, best, linkBase, false);
  // Long names in every link of a sweep's many parts: the page without them.
  if (page.size() > kMaxOverviewBytes && linkBase) {
    page = RenderSweep(sweep, best, std::nullopt, true);
  }
  return page;
}

std::optional<std::string> LinkBase(std::string_view overview, std::string_view pagesDir) {
  if (overview.starts_with('/') != pagesDir.starts_with('/')) return std::nullopt;
  std::vector<std::string_view> folder = PartsOf(overview);
  if (!folder.empty()) folder.pop_back();  // the overview's own name
  const std::vector<std::string_view> pages = PartsOf(pagesDir);
  std::size_t common = 0;
  while (common < folder.size() && common < pages.size() && folder[common] == pages[common]) {
    ++common;
  }
  std::string base;
  for (std::size_t k = common; k < folder.size(); ++k) {
    if (folder[k] == "..") return std::nullopt;  // up from a folder whose name is not known
    base += "../";
  }
  for (std::size_t k = common; k < pages.size(); ++k) base.append(pages[k]).append("/");
  return base;
}

}  // namespace tarvik::view
