// SPDX-License-Identifier: MIT
#include "view/run_page.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "control/run.h"
#include "report/layout.h"
#include "report/report.h"
#include "system/diagnostics.h"
#include "view/html_writer.h"
#include "view/page_parts.h"
#include "view/page_pieces.h"

namespace tarvik::view {
namespace {

constexpr std::size_t kMaxSourceCharacters = 200;

void WriteSource(HtmlWriter& w, std::string_view source) {
  if (source.empty()) {
    w.Text("Sudin.txt");
  } else {
    w.OutsideText(source, kMaxSourceCharacters);
  }
}

// What the title and heading name: the source, or the batch's FILE:LINE and the sweep's set.
void WritePlace(HtmlWriter& w, std::string_view source, const std::optional<BatchPlace>& place) {
  WriteSource(w, place ? place->fileLine : source);
  if (place && !place->set.empty()) w.Text(", ").Text(place->set);
}

void WriteHead(HtmlWriter& w, const RunRecorder& run, std::string_view source,
               const std::optional<BatchPlace>& place) {
  OpenDocument(w);
  w.Text(kProgramName).Text(": ");
  WritePlace(w, source, place);
  w.Text(" - ");
  WriteOutcomeWords(w, run.summary().run.outcome);
  w.Close().Line();
  WriteStyle(w);
  OpenMain(w);
}

// The search sequence; one that repeats its first codes is shown as those codes.
void WriteSequence(HtmlWriter& w, const PuzzleState& input) {
  const int codes = std::clamp(input.NSTEPS, 0, input.SEQ.size());
  int period = codes;
  for (int p = 1; p <= codes / 2 && period == codes; ++p) {
    bool repeats = true;
    for (int k = p + 1; k <= codes && repeats; ++k) repeats = input.SEQ(k) == input.SEQ(k - p);
    if (repeats) period = p;
  }
  w.Open("code");
  for (int k = 1; k <= period; ++k) {
    if (k > 1) w.Text(" ");
    w.Number(input.SEQ(k));
  }
  w.Close();
  if (period < codes) {
    w.Text(" repeated to ").Open("b").Number(codes).Close().Text(" codes");
  }
}

void WriteTop(HtmlWriter& w, const PuzzleState& input, const RunRecorder& run,
              std::string_view source, const std::optional<BatchPlace>& place) {
  const RunSummary& summary = run.summary().run;
  w.Open("header").Line();
  if (place) {
    // Its colour inline: the run page's own style sheet stays as it is without a place.
    w.Open("nav").Open("a").Href("", place->indexLink).Attribute("style", "color:var(--line)");
    w.Text("Overview of the batch").Close();
    w.Close().Line();
  }
  w.Open("h1").Element("span", std::string(kProgramName) + " run of").Text(" ");
  WritePlace(w, source, place);
  w.Close().Line();
  w.Open("p").Class(summary.outcome == Outcome::kSolved ? "outcome solved" : "outcome");
  w.Open("b");
  WriteOutcomeWords(w, summary.outcome);
  w.Close().Text(" ");
  w.Open("samp").Attribute("id", "outcome").Text(TextOf(OutcomeLine(summary.outcome))).Close();
  w.Close().Line();
  w.Open("dl").Class("facts").Line();
  WriteFact(w, "Attempts", "attempts", summary.attempts);
  WriteFact(w, "Steps", "steps", summary.steps);
  WriteFact(w, "Deepest guess level", "depth", summary.depth);
  WriteFact(w, "Empty cells left", "empty", run.summary().empty);
  if (place && place->solutions) {
    w.Open("div").Element("dt", "Solutions");
    w.Open("dd").Attribute("id", "solutions");
    if (*place->solutions >= 2) {
      w.Text("2 or more");
    } else {
      w.Number(*place->solutions);
    }
    w.Close().Close().Line();
  }
  w.Close().Line();
  if (place && place->solutions && *place->solutions != 1) {
    // Only a puzzle with exactly one solution is a proper one, whatever the run's outcome.
    w.Open("p").Class("outcome").Attribute("id", "improper");
    w.Text(*place->solutions == 0 ? "This puzzle has no solution."
                                  : "This puzzle has more than one solution.");
    w.Close().Line();
  }
  w.Open("p").Class("params").Text("Print level ");
  w.Open("b").Number(input.IPRINT).Close().Text(" ").Entity("middot").Text(" look-back ");
  w.Open("b").Number(input.NBACK).Close().Text(" steps ").Entity("middot").Text(" at most ");
  w.Open("b").Number(input.NSTEPS).Close().Text(" steps per attempt ").Entity("middot");
  w.Text(" search sequence ");
  WriteSequence(w, input);
  w.Close().Line();
  w.Close().Line();  // header
}

}  // namespace

RunSummary RecordRun(const PuzzleState& input, RunRecorder& recorder) {
  PuzzleState st = input;
  st.IPRINT = 2;
  Report report(recorder);
  return Solve(st, report);
}

std::string RenderPage(const PuzzleState& input, const RunRecorder& run, std::string_view source,
                       const std::optional<BatchPlace>& place) {
  const std::vector<const DrawnAttempt*> full = run.FullAttempts();
  std::string out;
  out.reserve(std::size_t{64} * 1024);
  HtmlWriter w(out);
  WriteHead(w, run, source, place);
  WriteTop(w, input, run, source, place);
  WriteGrids(w, input, run);
  WriteChart(w, run, full);
  WriteAttempts(w, input, run, full);
  w.Close().Line();  // main
  w.Close().Line();  // body
  w.Close().Line();  // html
  return out;
}

std::string RenderRunPage(const PuzzleState& input, std::string_view source) {
  RunRecorder recorder;
  RecordRun(input, recorder);
  return RenderPage(input, recorder, source);
}

}  // namespace tarvik::view
