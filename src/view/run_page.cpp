// SPDX-License-Identifier: MIT
#include "view/run_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "control/run.h"
#include "report/report.h"
#include "view/html_text.h"
#include "view/palette.h"

namespace tarvik::view {
namespace {

constexpr std::size_t kMaxSourceCharacters = 200;
constexpr int kFullAttempts = 2 * RunRecorder::kFullAtEachEnd;

// ---- Small pieces of text ----

void AppendNumber(std::string& out, std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// A chart coordinate with one decimal.
void AppendCoordinate(std::string& out, double value) {
  const auto tenths = static_cast<std::int64_t>(value * 10.0 + (value < 0 ? -0.5 : 0.5));
  if (tenths < 0) out += '-';
  const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
  AppendNumber(out, magnitude / 10);
  if (magnitude % 10 != 0) {
    out += '.';
    out += static_cast<char>('0' + magnitude % 10);
  }
}

void AppendHex(std::string& out, std::uint32_t colour) {
  constexpr char kDigits[] = "0123456789abcdef";
  out += '#';
  for (int shift = 20; shift >= 0; shift -= 4) out += kDigits[(colour >> shift) & 0xFu];
}

void AppendDigit(std::string& out, std::int8_t digit) {
  out += digit >= 0 ? static_cast<char>('0' + digit) : '?';
}

// S(r,c)
void AppendCellName(std::string& out, const Cell& cell) {
  out += "S(";
  AppendDigit(out, cell.row);
  out += ',';
  AppendDigit(out, cell.column);
  out += ')';
}

// S(r,c)=v, or with blanks around the sign
void AppendCellValue(std::string& out, const Cell& cell, bool spaced = false) {
  AppendCellName(out, cell);
  out += spaced ? " = " : "=";
  AppendDigit(out, cell.value);
}

char LetterOf(Technique technique) {
  switch (technique) {
    case Technique::kRows: return 'R';
    case Technique::kColumns: return 'C';
    case Technique::kBoxes: return 'B';
    case Technique::kSingleValue: return 'V';
  }
  return '?';
}

std::string_view ClassOf(Technique technique) {
  switch (technique) {
    case Technique::kRows: return "t-r";
    case Technique::kColumns: return "t-c";
    case Technique::kBoxes: return "t-b";
    case Technique::kSingleValue: return "t-v";
  }
  return "";
}

std::string_view NameOf(Technique technique) {
  switch (technique) {
    case Technique::kRows: return "rows";
    case Technique::kColumns: return "columns";
    case Technique::kBoxes: return "boxes";
    case Technique::kSingleValue: return "single values";
  }
  return "";
}

// The outcome line exactly as the report writes it.
std::string_view OutcomeLine(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSolved: return "Puzzle Solved ";
    case Outcome::kStepLimit: return "Puzzle not solved in maximum number of steps";
    case Outcome::kNoSolution:
      return " No guesses possible.   Error in puzzle definition.   No solution";
    case Outcome::kNoFurtherGuesses: return "Puzzle not solved  -  no further guesses possible";
    case Outcome::kUnfinished: break;
  }
  return "The run did not finish";
}

std::string_view OutcomeWord(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSolved: return "solved";
    case Outcome::kStepLimit: return "step limit";
    case Outcome::kNoSolution: return "no solution";
    case Outcome::kNoFurtherGuesses: return "no further guesses";
    case Outcome::kUnfinished: break;
  }
  return "unfinished";
}

// How an attempt ended, in a few words.
void AppendEndingShort(std::string& out, const AttemptSummary& attempt) {
  switch (attempt.ending) {
    case Ending::kSolved: out += "solved"; return;
    case Ending::kStepLimit: out += "step limit"; return;
    case Ending::kGuessed:
      out += "guessed ";
      AppendCellValue(out, attempt.cell);
      return;
    case Ending::kStackFull:
      out += "stack full at ";
      AppendCellName(out, attempt.cell);
      out += ", backtracked";
      return;
    case Ending::kDeadCell:
      out += "dead cell ";
      AppendCellName(out, attempt.cell);
      out += ", backtracked";
      return;
    case Ending::kNoTwoValueCell: out += "no two-value cell, backtracked"; return;
    case Ending::kUnfinished: break;
  }
  out += "unfinished";
}

std::string_view EndingClass(Ending ending) {
  switch (ending) {
    case Ending::kSolved: return "e-good";
    case Ending::kGuessed: return "e-guess";
    case Ending::kStepLimit: return "e-bad";
    case Ending::kUnfinished: return "e-none";
    default: return "e-back";
  }
}

void AppendGuessList(std::string& out, const AttemptSummary& attempt) {
  const int kept = std::min(attempt.guessCount, AttemptSummary::kMaxGuesses);
  if (kept == 0) {
    out += "none";
    return;
  }
  for (int k = 0; k < kept; ++k) {
    if (k > 0) out += ' ';
    AppendCellValue(out, attempt.guesses[static_cast<std::size_t>(k)]);
  }
  if (attempt.guessCount > kept) {
    out += " and ";
    AppendNumber(out, attempt.guessCount - kept);
    out += " more";
  }
}

std::int32_t LastStepNumber(const AttemptRecord& attempt) {
  return attempt.steps.empty() ? attempt.summary.steps : attempt.steps.back().number;
}

// ---- Style ----

void AppendColours(std::string& out, bool dark) {
  out += ":root{";
  for (const Colour& colour : kColours) {
    out += "--";
    out += colour.name;
    out += ':';
    AppendHex(out, dark ? colour.dark : colour.light);
    out += ';';
  }
  out += "}\n";
}

constexpr std::string_view kStyle = R"css(
*{box-sizing:border-box}
html{color-scheme:light dark}
body{margin:0;background:var(--page);color:var(--text);font:15px/1.45 system-ui,"Segoe UI",Roboto,"Helvetica Neue",Arial,sans-serif;-webkit-print-color-adjust:exact;print-color-adjust:exact}
main{max-width:1120px;margin:0 auto;padding:18px 28px 40px}
h1{font-size:21px;font-weight:600;margin:0 0 10px;overflow-wrap:anywhere}
h1 span{color:var(--muted);font-weight:400}
h2{font-size:18px;font-weight:600;margin:30px 0 10px}
code,samp{font-family:ui-monospace,"DejaVu Sans Mono",Menlo,Consolas,monospace}
.outcome{margin:0 0 12px;padding:9px 14px;background:var(--panel);border-left:6px solid var(--bad);border-radius:0 6px 6px 0;display:flex;flex-wrap:wrap;gap:4px 16px;align-items:baseline}
.outcome.solved{border-left-color:var(--good)}
.outcome b{font-size:13px;text-transform:uppercase;letter-spacing:.05em;color:var(--bad)}
.outcome.solved b{color:var(--good)}
.outcome samp{font-size:17px;font-weight:600;white-space:pre-wrap}
.facts{display:flex;flex-wrap:wrap;gap:10px;margin:0 0 10px;padding:0}
.facts div{background:var(--panel);border-radius:6px;padding:5px 16px 6px;min-width:118px}
.facts dt{font-size:12px;color:var(--muted);text-transform:uppercase;letter-spacing:.04em}
.facts dd{margin:0;font-size:22px;font-weight:600;font-variant-numeric:tabular-nums}
.params{margin:0 0 18px;color:var(--muted)}
.params b{color:var(--text);font-weight:600}
.params code{color:var(--text);overflow-wrap:anywhere}
.grids{display:flex;flex-wrap:wrap;gap:24px 48px;align-items:flex-start}
figure{margin:0}
figcaption{font-weight:600;margin:0 0 6px}
figcaption span{color:var(--muted);font-weight:400}
table.grid{border-collapse:collapse;font-variant-numeric:tabular-nums}
.grid th{width:24px;height:24px;padding:0;font-size:12px;font-weight:400;color:var(--muted);text-align:center}
.grid tbody td{position:relative;width:46px;height:46px;padding:0;border:1px solid var(--rule);text-align:center;vertical-align:middle;font-size:22px}
.grid tbody td:nth-child(2),.grid tbody td:nth-child(5),.grid tbody td:nth-child(8){border-left:2px solid var(--frame)}
.grid tbody td:nth-child(10){border-right:2px solid var(--frame)}
.grid tbody tr:nth-child(3n+1) td{border-top:2px solid var(--frame)}
.grid tbody tr:nth-child(9) td{border-bottom:2px solid var(--frame)}
.grid tbody td.given{background:var(--given);font-weight:700}
.grid small{position:absolute;top:4px;left:4px;font-size:11px;line-height:1;font-weight:700}
.t-r{background:var(--rows)}.t-r small,.key.t-r{color:var(--rows-mark)}
.t-c{background:var(--columns)}.t-c small,.key.t-c{color:var(--columns-mark)}
.t-b{background:var(--boxes)}.t-b small,.key.t-b{color:var(--boxes-mark)}
.t-v{background:var(--single)}.t-v small,.key.t-v{color:var(--single-mark)}
.t-g{background:var(--guess)}.t-g small,.key.t-g{color:var(--guess-mark)}
.grid tbody td.t-g{box-shadow:inset 0 0 0 2px var(--guess-mark)}
.key{display:inline-block;min-width:24px;padding:0 5px;border-radius:4px;font-size:12px;font-weight:700;text-align:center;line-height:20px}
.key.given{background:var(--given)}
.legend{display:flex;flex-wrap:wrap;gap:6px 20px;list-style:none;margin:14px 0 0;padding:0;font-size:14px}
.chart{display:block;width:100%;max-width:1000px;height:auto}
.chart text{fill:var(--muted);font-size:13px;font-family:inherit}
.chart text.title{fill:var(--text);font-size:14px}
.chart .gridline{stroke:var(--rule);stroke-width:1}
.chart .axis{stroke:var(--frame);stroke-width:1.5}
.chart .attempt{fill:none;stroke:var(--line);stroke-width:1.5;stroke-linejoin:round}
.chart .attempt.final{stroke:var(--final);stroke-width:3.5}
.chart .band{fill:var(--band);stroke:var(--line);stroke-width:1;stroke-linejoin:round}
.chart-key{display:flex;flex-wrap:wrap;gap:6px 24px;list-style:none;margin:6px 0 0;padding:0;font-size:14px}
.swatch{display:inline-block;width:26px;height:0;margin-right:8px;vertical-align:middle;border-top:2px solid var(--line)}
.swatch.final{border-top:4px solid var(--final)}
.swatch.band{height:14px;border:1px solid var(--line);background:var(--band)}
details{border:1px solid var(--rule);border-radius:6px;margin:6px 0}
summary{cursor:pointer;padding:6px 12px;font-variant-numeric:tabular-nums}
summary span{display:inline-block;margin-right:16px}
summary .n{min-width:108px;font-weight:600}
summary .e{min-width:280px;font-weight:600}
summary .m{min-width:190px;color:var(--muted)}
summary .g{margin-right:0;color:var(--muted)}
.e-good{color:var(--good)}.e-bad{color:var(--bad)}.e-back{color:var(--text)}.e-guess{color:var(--guess-mark)}.e-none{color:var(--muted)}
details>div{padding:2px 14px 10px;border-top:1px solid var(--rule)}
details p{margin:8px 0}
table.steps,table.rows{border-collapse:collapse;width:100%;font-size:14px;font-variant-numeric:tabular-nums}
.steps th,.steps td,.rows th,.rows td{padding:3px 10px;border-bottom:1px solid var(--rule);text-align:left;vertical-align:top}
.steps th,.rows th{color:var(--muted);font-weight:600;white-space:nowrap}
.steps td:nth-child(2),.rows td:last-child{white-space:nowrap}
td.num,th.num{text-align:right}
.none{color:var(--muted)}
.ending{font-weight:600}
.middle>summary{font-weight:600}
.note{color:var(--muted);font-size:14px}
@media print{
body{font-size:12px}
main{max-width:none;padding:0}
h2{break-after:avoid}
figure,details,svg,tr{break-inside:avoid}
.grids{gap:12px 24px}
.grid th{width:18px;height:18px;font-size:10px}
.grid tbody td{width:32px;height:32px;font-size:16px}
.grid small{top:2px;left:2px;font-size:8px}
.facts dd{font-size:17px}
}
)css";

void AppendHead(std::string& out, const RunRecorder& run, std::string_view source) {
  out +=
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"color-scheme\" content=\"light dark\">\n<title>tarvik: ";
  if (source.empty()) {
    out += "Sudin.txt";
  } else {
    AppendOutsideText(out, source, kMaxSourceCharacters);
  }
  out += " - ";
  out += OutcomeWord(run.summary().outcome);
  out += "</title>\n<style>\n";
  AppendColours(out, false);
  out += "@media (prefers-color-scheme: dark){\n";
  AppendColours(out, true);
  out += "}\n@media print{\n";
  AppendColours(out, false);  // paper is light whatever the screen
  out += "}";
  out += kStyle;
  out += "</style>\n</head>\n<body>\n<main>\n";
}

// ---- The top: outcome, numbers, parameters ----

void AppendFact(std::string& out, std::string_view name, std::string_view id, std::int64_t value) {
  out += "<div><dt>";
  out += name;
  out += "</dt><dd id=\"";
  out += id;
  out += "\">";
  AppendNumber(out, value);
  out += "</dd></div>\n";
}

void AppendTop(std::string& out, const PuzzleState& input, const RunRecorder& run,
               std::string_view source) {
  const RunSummary& summary = run.summary();
  out += "<header>\n<h1><span>tarvik run of</span> ";
  if (source.empty()) {
    out += "Sudin.txt";
  } else {
    AppendOutsideText(out, source, kMaxSourceCharacters);
  }
  out += "</h1>\n<p class=\"outcome";
  if (summary.outcome == Outcome::kSolved) out += " solved";
  out += "\"><b>";
  out += OutcomeWord(summary.outcome);
  out += "</b> <samp id=\"outcome\">";
  out += OutcomeLine(summary.outcome);
  out += "</samp></p>\n<dl class=\"facts\">\n";
  AppendFact(out, "Attempts", "attempts", summary.attempts);
  AppendFact(out, "Steps", "steps", summary.steps);
  AppendFact(out, "Deepest guess level", "depth", summary.depth);
  AppendFact(out, "Empty cells left", "empty", summary.empty);
  out += "</dl>\n<p class=\"params\">Print level <b>";
  AppendNumber(out, input.IPRINT);
  out += "</b> &middot; look-back <b>";
  AppendNumber(out, input.NBACK);
  out += "</b> steps &middot; at most <b>";
  AppendNumber(out, input.NSTEPS);
  out += "</b> steps per attempt &middot; search sequence <code>";
  // A sequence that repeats its first codes is shown as those codes.
  const int codes = std::clamp(input.NSTEPS, 0, input.SEQ.size());
  int period = codes;
  for (int p = 1; p <= codes / 2 && period == codes; ++p) {
    bool repeats = true;
    for (int k = p + 1; k <= codes && repeats; ++k) repeats = input.SEQ(k) == input.SEQ(k - p);
    if (repeats) period = p;
  }
  for (int k = 1; k <= period; ++k) {
    if (k > 1) out += ' ';
    AppendNumber(out, input.SEQ(k));
  }
  out += "</code>";
  if (period < codes) {
    out += " repeated to <b>";
    AppendNumber(out, codes);
    out += "</b> codes";
  }
  out += "</p>\n</header>\n";
}

// ---- The two grids ----

struct CellMark {
  char letter = 0;  // R, C, B, V, or G for a guess; 0 for none
  std::string_view cssClass;
  std::string_view description;
  std::int32_t number = 0;  // step or guess level
};

using Marks = std::array<std::array<CellMark, 10>, 10>;

// What filled each cell in the last attempt: its guesses, then its steps.
Marks MarksOf(const AttemptRecord& attempt) {
  Marks marks{};
  const int kept = std::min(attempt.summary.guessCount, AttemptSummary::kMaxGuesses);
  for (int k = 0; k < kept; ++k) {
    const Cell& guess = attempt.summary.guesses[static_cast<std::size_t>(k)];
    if (guess.row < 1 || guess.column < 1) continue;
    marks[static_cast<std::size_t>(guess.row)][static_cast<std::size_t>(guess.column)] = {
        'G', "t-g", "guess", k + 1};
  }
  for (const StepRecord& step : attempt.steps) {
    for (int k = 0; k < step.fillCount; ++k) {
      const Cell& fill =
          attempt.fills[static_cast<std::size_t>(step.firstFill) + static_cast<std::size_t>(k)];
      if (fill.row < 1 || fill.column < 1) continue;
      marks[static_cast<std::size_t>(fill.row)][static_cast<std::size_t>(fill.column)] = {
          LetterOf(step.technique), ClassOf(step.technique), NameOf(step.technique), step.number};
    }
  }
  return marks;
}

void AppendGridStart(std::string& out, std::string_view id) {
  out += "<table class=\"grid\" id=\"";
  out += id;
  out += "\">\n<thead><tr><td></td>";
  for (int j = 1; j <= 9; ++j) {
    out += "<th scope=\"col\">";
    AppendNumber(out, j);
    out += "</th>";
  }
  out += "</tr></thead>\n<tbody>\n";
}

void AppendGrids(std::string& out, const PuzzleState& input, const RunRecorder& run) {
  const RunSummary& summary = run.summary();
  const AttemptRecord& last = run.last();
  int givens = 0;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) givens += input.SSTART(i, j) != 0 ? 1 : 0;
  }
  out += "<section class=\"grids\" aria-label=\"Start grid and final grid\">\n";

  out += "<figure>\n<figcaption>Start grid <span>&middot; ";
  AppendNumber(out, givens);
  out += " givens</span></figcaption>\n";
  AppendGridStart(out, "start-grid");
  for (int i = 1; i <= 9; ++i) {
    out += "<tr><th scope=\"row\">";
    AppendNumber(out, i);
    out += "</th>";
    for (int j = 1; j <= 9; ++j) {
      const int value = input.SSTART(i, j);
      if (value == 0) {
        out += "<td></td>";
      } else {
        out += "<td class=\"given\">";
        AppendNumber(out, value);
        out += "</td>";
      }
    }
    out += "</tr>\n";
  }
  out += "</tbody></table>\n</figure>\n";

  const Marks marks = MarksOf(last);
  out += "<figure>\n<figcaption>Final grid <span>&middot; attempt ";
  AppendNumber(out, last.summary.number);
  out += " &middot; ";
  AppendNumber(out, summary.empty);
  out += summary.empty == 1 ? " empty cell" : " empty cells";
  out += "</span></figcaption>\n";
  AppendGridStart(out, "final-grid");
  for (int i = 1; i <= 9; ++i) {
    out += "<tr><th scope=\"row\">";
    AppendNumber(out, i);
    out += "</th>";
    for (int j = 1; j <= 9; ++j) {
      const int value = summary.finalGrid(i, j);
      const CellMark& mark = marks[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
      if (value == 0) {
        out += "<td></td>";
      } else if (input.SSTART(i, j) != 0) {
        out += "<td class=\"given\">";
        AppendNumber(out, value);
        out += "</td>";
      } else if (mark.letter != 0) {
        out += "<td class=\"";
        out += mark.cssClass;
        out += "\" title=\"";
        out += mark.description;
        out += mark.letter == 'G' ? ", level " : ", step ";
        AppendNumber(out, mark.number);
        out += "\"><small>";
        out += mark.letter;
        AppendNumber(out, mark.number);
        out += "</small>";
        AppendNumber(out, value);
        out += "</td>";
      } else {
        out += "<td>";
        AppendNumber(out, value);
        out += "</td>";
      }
    }
    out += "</tr>\n";
  }
  out += "</tbody></table>\n</figure>\n</section>\n";

  out +=
      "<ul class=\"legend\" aria-label=\"Key to the final grid\">\n"
      "<li><span class=\"key given\">5</span> given</li>\n"
      "<li><span class=\"key t-r\">R</span> only place for a value in its row</li>\n"
      "<li><span class=\"key t-c\">C</span> only place in its column</li>\n"
      "<li><span class=\"key t-b\">B</span> only place in its box</li>\n"
      "<li><span class=\"key t-v\">V</span> only value left for the cell</li>\n"
      "<li><span class=\"key t-g\">G</span> guess, with its level</li>\n"
      "<li>the number after the letter: the step that filled the cell</li>\n"
      "</ul>\n";
}

// ---- The chart ----

constexpr double kChartWidth = 1000;
constexpr double kChartHeight = 340;
constexpr double kLeft = 58;
constexpr double kRight = 16;
constexpr double kTop = 14;
constexpr double kBottom = 50;

struct ChartScale {
  int steps;  // the last step on the x axis
  int empty;  // the top of the y axis
  double X(int step) const { return kLeft + (kChartWidth - kLeft - kRight) * step / steps; }
  double Y(std::int32_t count) const {
    const double clamped = std::clamp(count, 0, empty);
    return kTop + (kChartHeight - kTop - kBottom) * (1.0 - clamped / empty);
  }
};

std::int32_t CountAt(const AttemptRecord& attempt, int step) {
  return step == 0 ? attempt.summary.emptyAtStart
                   : attempt.steps[static_cast<std::size_t>(step) - 1].emptyAfter;
}

void AppendPoint(std::string& out, const ChartScale& scale, int step, std::int32_t count) {
  AppendCoordinate(out, scale.X(step));
  out += ',';
  AppendCoordinate(out, scale.Y(count));
}

void AppendRunOfCounts(std::string& out, const AttemptRecord& attempt) {
  AppendNumber(out, attempt.summary.emptyAtStart);
  out += " to ";
  AppendNumber(out, attempt.summary.emptyAtEnd);
  out += " empty cells in ";
  AppendNumber(out, attempt.summary.steps);
  out += attempt.summary.steps == 1 ? " step" : " steps";
}

void AppendChart(std::string& out, const RunRecorder& run,
                 const std::vector<const AttemptRecord*>& full) {
  const RunSummary& summary = run.summary();
  const StepBand& band = run.band();
  const bool banded = summary.attempts > kFullAttempts;
  std::vector<const AttemptRecord*> lines;
  if (banded) {
    lines.push_back(&run.last());
  } else {
    lines = full;
  }

  ChartScale scale{5, 10};
  std::int32_t highest = 0;
  for (const AttemptRecord* attempt : lines) {
    const int length = static_cast<int>(attempt->steps.size());
    scale.steps = std::max(scale.steps, length);
    for (int k = 0; k <= length; ++k) highest = std::max(highest, CountAt(*attempt, k));
  }
  if (banded) {
    scale.steps = std::max(scale.steps, band.longest);
    for (int k = 0; k <= band.longest; ++k) {
      highest = std::max(highest, band.high[static_cast<std::size_t>(k)]);
    }
  }
  scale.empty = std::clamp((std::min(highest, 81) + 9) / 10 * 10, 10, 90);

  out += "<section>\n<h2 id=\"chart-heading\">Empty cells after each step</h2>\n";
  out +=
      "<svg class=\"chart\" viewBox=\"0 0 1000 340\" role=\"img\" "
      "aria-labelledby=\"chart-title chart-desc\">\n<title id=\"chart-title\">Empty cells after "
      "each step, ";
  out += banded ? "the final attempt over the range of the others" : "one line per attempt";
  out += "</title>\n<desc id=\"chart-desc\">";
  if (banded) {
    out += "The final attempt, number ";
    AppendNumber(out, run.last().summary.number);
    out += ", goes from ";
    AppendRunOfCounts(out, run.last());
    out += ". The shaded band spans the fewest and the most empty cells after each step over the ";
    AppendNumber(out, band.attempts);
    out += " other attempts, which ran up to ";
    AppendNumber(out, band.longest);
    out += " steps.";
  } else {
    for (const AttemptRecord* attempt : lines) {
      if (attempt != lines.front()) out += ' ';
      out += "Attempt ";
      AppendNumber(out, attempt->summary.number);
      out += " goes from ";
      AppendRunOfCounts(out, *attempt);
      out += '.';
    }
  }
  out += "</desc>\n";

  // Grid lines and the y axis labels, every 10 empty cells.
  const double xAxis = scale.Y(0);
  for (int count = 0; count <= scale.empty; count += 10) {
    const double y = scale.Y(count);
    if (count > 0) {
      out += "<line class=\"gridline\" x1=\"";
      AppendCoordinate(out, kLeft);
      out += "\" y1=\"";
      AppendCoordinate(out, y);
      out += "\" x2=\"";
      AppendCoordinate(out, kChartWidth - kRight);
      out += "\" y2=\"";
      AppendCoordinate(out, y);
      out += "\"/>\n";
    }
    out += "<text x=\"";
    AppendCoordinate(out, kLeft - 8);
    out += "\" y=\"";
    AppendCoordinate(out, y + 4.5);
    out += "\" text-anchor=\"end\">";
    AppendNumber(out, count);
    out += "</text>\n";
  }
  // X axis ticks: about ten of them, at round steps.
  int every = 1;
  for (const int candidate : {1, 2, 5, 10, 20}) {
    every = candidate;
    if (scale.steps / candidate <= 12) break;
  }
  for (int step = 0; step <= scale.steps; step += every) {
    const double x = scale.X(step);
    out += "<line class=\"axis\" x1=\"";
    AppendCoordinate(out, x);
    out += "\" y1=\"";
    AppendCoordinate(out, xAxis);
    out += "\" x2=\"";
    AppendCoordinate(out, x);
    out += "\" y2=\"";
    AppendCoordinate(out, xAxis + 5);
    out += "\"/>\n<text x=\"";
    AppendCoordinate(out, x);
    out += "\" y=\"";
    AppendCoordinate(out, xAxis + 20);
    out += "\" text-anchor=\"middle\">";
    AppendNumber(out, step);
    out += "</text>\n";
  }
  out += "<path class=\"axis\" fill=\"none\" d=\"M";
  AppendCoordinate(out, kLeft);
  out += ' ';
  AppendCoordinate(out, kTop);
  out += "V";
  AppendCoordinate(out, xAxis);
  out += "H";
  AppendCoordinate(out, kChartWidth - kRight);
  out += "\"/>\n<text class=\"title\" x=\"";
  AppendCoordinate(out, (kLeft + kChartWidth - kRight) / 2);
  out += "\" y=\"";
  AppendCoordinate(out, kChartHeight - 6);
  out +=
      "\" text-anchor=\"middle\">Step of the attempt</text>\n<text class=\"title\" x=\"14\" y=\"";
  AppendCoordinate(out, (kTop + xAxis) / 2);
  out += "\" text-anchor=\"middle\" transform=\"rotate(-90 14 ";
  AppendCoordinate(out, (kTop + xAxis) / 2);
  out += ")\">Empty cells</text>\n";

  if (banded && band.longest >= 0) {
    out += "<polygon class=\"band\" points=\"";
    for (int k = 0; k <= band.longest; ++k) {
      AppendPoint(out, scale, k, band.high[static_cast<std::size_t>(k)]);
      out += ' ';
    }
    for (int k = band.longest; k >= 0; --k) {
      AppendPoint(out, scale, k, band.low[static_cast<std::size_t>(k)]);
      if (k > 0) out += ' ';
    }
    out += "\"><title>Range of the ";
    AppendNumber(out, band.attempts);
    out += " other attempts</title></polygon>\n";
  }
  for (const AttemptRecord* attempt : lines) {
    const bool isLast = attempt == &run.last();
    out += isLast ? "<polyline class=\"attempt final\" points=\""
                  : "<polyline class=\"attempt\" points=\"";
    const int length = static_cast<int>(attempt->steps.size());
    for (int k = 0; k <= length; ++k) {
      if (k > 0) out += ' ';
      AppendPoint(out, scale, k, CountAt(*attempt, k));
    }
    out += "\"><title>Attempt ";
    AppendNumber(out, attempt->summary.number);
    out += ": ";
    AppendRunOfCounts(out, *attempt);
    out += "</title></polyline>\n";
  }
  out +=
      "</svg>\n<ul class=\"chart-key\">\n<li><span class=\"swatch final\"></span>final attempt (";
  AppendNumber(out, run.last().summary.number);
  out += ")</li>\n";
  if (banded) {
    out += "<li><span class=\"swatch band\"></span>range of the other ";
    AppendNumber(out, band.attempts);
    out += " attempts</li>\n";
  } else if (lines.size() > 1) {
    out += "<li><span class=\"swatch\"></span>earlier attempts</li>\n";
  }
  out += "</ul>\n</section>\n";
}

// ---- The attempts ----

void AppendAttemptSummaryLine(std::string& out, const AttemptSummary& attempt) {
  out += "<summary><span class=\"n\">Attempt ";
  AppendNumber(out, attempt.number);
  out += "</span><span class=\"e ";
  out += EndingClass(attempt.ending);
  out += "\">";
  AppendEndingShort(out, attempt);
  out += "</span><span class=\"m\">";
  AppendNumber(out, attempt.steps);
  out += attempt.steps == 1 ? " step, " : " steps, ";
  AppendNumber(out, attempt.emptyAtStart);
  out += " &rarr; ";
  AppendNumber(out, attempt.emptyAtEnd);
  out += " empty</span><span class=\"g\">guesses: ";
  AppendGuessList(out, attempt);
  out += "</span></summary>\n";
}

void AppendEndingSentence(std::string& out, const AttemptRecord& record, const PuzzleState& input,
                          Outcome outcome, bool isLast) {
  const AttemptSummary& attempt = record.summary;
  out += "<p class=\"ending\">";
  switch (attempt.ending) {
    case Ending::kSolved:
      out += "Solved at step ";
      AppendNumber(out, LastStepNumber(record));
      out += ": no empty cell left.";
      break;
    case Ending::kStepLimit:
      out += "Stopped at step ";
      AppendNumber(out, LastStepNumber(record));
      out += ", the step limit of ";
      AppendNumber(out, input.NSTEPS);
      out += ", with ";
      AppendNumber(out, attempt.emptyAtEnd);
      out += " empty cells left.";
      break;
    case Ending::kUnfinished: out += "The attempt did not finish."; break;
    default:
      out += "Stalled after step ";
      AppendNumber(out, LastStepNumber(record));
      out += ": the empty cells stopped falling. ";
      switch (attempt.ending) {
        case Ending::kGuessed:
          AppendCellName(out, attempt.cell);
          out += " could be ";
          AppendDigit(out, attempt.cell.value);
          out += " or ";
          AppendDigit(out, attempt.secondValue);
          out += ": guessed ";
          AppendDigit(out, attempt.cell.value);
          out += " at level ";
          AppendNumber(out, attempt.guessCount + 1);
          out += ", and started again.";
          break;
        case Ending::kStackFull:
          AppendCellName(out, attempt.cell);
          out += " could be ";
          AppendDigit(out, attempt.cell.value);
          out += " or ";
          AppendDigit(out, attempt.secondValue);
          out += ", but the stack already holds 10 guesses: backtracked.";
          break;
        case Ending::kDeadCell:
          AppendCellName(out, attempt.cell);
          out += " has no possible value: backtracked.";
          break;
        default: out += "No empty cell has exactly two possible values: backtracked."; break;
      }
      if (isLast && outcome == Outcome::kNoSolution) {
        out += " No guess was left to try: the puzzle has no solution.";
      } else if (isLast && outcome == Outcome::kNoFurtherGuesses) {
        out += " No guess was left to try.";
      }
  }
  out += "</p>\n";
}

void AppendFullAttempt(std::string& out, const AttemptRecord& record, const PuzzleState& input,
                       Outcome outcome, bool isLast) {
  const AttemptSummary& attempt = record.summary;
  out += "<details id=\"attempt-";
  AppendNumber(out, attempt.number);
  out += isLast ? "\" open>\n" : "\">\n";
  AppendAttemptSummaryLine(out, attempt);
  out += "<div>\n<p>Started with ";
  AppendNumber(out, attempt.emptyAtStart);
  out += " empty cells";
  const int kept = std::min(attempt.guessCount, AttemptSummary::kMaxGuesses);
  if (kept == 0) {
    out += " and no guesses.";
  } else {
    out += " and these guesses in force:";
    for (int k = 0; k < kept; ++k) {
      out += k == 0 ? " level " : "; level ";
      AppendNumber(out, k + 1);
      out += ' ';
      AppendCellValue(out, attempt.guesses[static_cast<std::size_t>(k)], true);
    }
    out += '.';
  }
  out += "</p>\n";
  if (!record.steps.empty()) {
    out +=
        "<table class=\"steps\">\n<thead><tr><th class=\"num\">Step</th><th>Technique</th>"
        "<th>Cells filled</th><th class=\"num\">Empty after</th></tr></thead>\n<tbody>\n";
    for (const StepRecord& step : record.steps) {
      out += "<tr><td class=\"num\">";
      AppendNumber(out, step.number);
      out += "</td><td><span class=\"key ";
      out += ClassOf(step.technique);
      out += "\">";
      out += LetterOf(step.technique);
      out += "</span> ";
      out += NameOf(step.technique);
      out += "</td><td>";
      if (step.fillCount == 0) out += "<span class=\"none\">none</span>";
      for (int k = 0; k < step.fillCount; ++k) {
        if (k > 0) out += ", ";
        AppendCellValue(
            out,
            record.fills[static_cast<std::size_t>(step.firstFill) + static_cast<std::size_t>(k)]);
      }
      out += "</td><td class=\"num\">";
      AppendNumber(out, step.emptyAfter);
      out += "</td></tr>\n";
    }
    out += "</tbody></table>\n";
  }
  if (attempt.steps > static_cast<std::int32_t>(record.steps.size()) || record.fillsDropped > 0) {
    out += "<p class=\"note\">Not kept: ";
    AppendNumber(out, attempt.steps - static_cast<std::int32_t>(record.steps.size()));
    out += " later steps and ";
    AppendNumber(out, record.fillsDropped);
    out += " cells filled beyond the first 81.</p>\n";
  }
  AppendEndingSentence(out, record, input, outcome, isLast);
  out += "</div>\n</details>\n";
}

void AppendSummaryRows(std::string& out, const RunRecorder& run) {
  const std::int32_t total = run.summary().attempts;
  const std::int32_t firstRow = RunRecorder::kFullAtEachEnd + 1;
  const std::int32_t lastRow = total - RunRecorder::kFullAtEachEnd;
  const std::span<const AttemptSummary> rows = run.summaries();
  out += "<details class=\"middle\">\n<summary>Attempts ";
  AppendNumber(out, firstRow);
  out += " to ";
  AppendNumber(out, lastRow);
  out +=
      ": one row each</summary>\n<div>\n<table class=\"rows\">\n<thead><tr>"
      "<th class=\"num\">Attempt</th><th>Guesses in force</th><th class=\"num\">Steps</th>"
      "<th class=\"num\">Empty at end</th><th>Ending</th></tr></thead>\n<tbody>\n";
  std::int32_t listed = 0;
  for (std::int32_t number = firstRow; number <= lastRow; ++number) {
    const auto index = static_cast<std::size_t>(number) - 1;
    if (index >= rows.size()) break;
    const AttemptSummary& attempt = rows[index];
    out += "<tr><td class=\"num\">";
    AppendNumber(out, attempt.number);
    out += "</td><td>";
    AppendGuessList(out, attempt);
    out += "</td><td class=\"num\">";
    AppendNumber(out, attempt.steps);
    out += "</td><td class=\"num\">";
    AppendNumber(out, attempt.emptyAtEnd);
    out += "</td><td class=\"";
    out += EndingClass(attempt.ending);
    out += "\">";
    AppendEndingShort(out, attempt);
    out += "</td></tr>\n";
    ++listed;
  }
  out += "</tbody></table>\n";
  if (listed < lastRow - firstRow + 1) {
    out += "<p class=\"note\">";
    AppendNumber(out, lastRow - firstRow + 1 - listed);
    out += " attempts beyond these are not listed.</p>\n";
  }
  out += "</div>\n</details>\n";
}

void AppendAttempts(std::string& out, const PuzzleState& input, const RunRecorder& run,
                    const std::vector<const AttemptRecord*>& full) {
  const std::int32_t total = run.summary().attempts;
  out += "<section>\n<h2>Attempts</h2>\n<p class=\"note\">";
  if (total > kFullAttempts) {
    out += "The first and the last ";
    AppendNumber(out, RunRecorder::kFullAtEachEnd);
    out += " of the ";
    AppendNumber(out, total);
    out += " attempts in full, the others one row each. ";
  }
  out +=
      "Every attempt starts from the start grid with its guesses applied; open one to see "
      "its steps.</p>\n";
  for (const AttemptRecord* record : full) {
    if (total > kFullAttempts &&
        record->summary.number == total - RunRecorder::kFullAtEachEnd + 1) {
      AppendSummaryRows(out, run);
    }
    AppendFullAttempt(out, *record, input, run.summary().outcome, record == &run.last());
  }
  out += "</section>\n";
}

}  // namespace

void RecordRun(const PuzzleState& input, RunRecorder& recorder) {
  PuzzleState st = input;
  st.IPRINT = 2;
  Report report(recorder);
  Solve(st, report);
}

std::string RenderPage(const PuzzleState& input, const RunRecorder& run, std::string_view source) {
  const std::vector<const AttemptRecord*> full = run.FullAttempts();
  std::string out;
  out.reserve(std::size_t{64} * 1024);
  AppendHead(out, run, source);
  AppendTop(out, input, run, source);
  AppendGrids(out, input, run);
  AppendChart(out, run, full);
  AppendAttempts(out, input, run, full);
  out += "</main>\n</body>\n</html>\n";
  return out;
}

std::string RenderRunPage(const PuzzleState& input, std::string_view source) {
  RunRecorder recorder;
  RecordRun(input, recorder);
  return RenderPage(input, recorder, source);
}

}  // namespace tarvik::view
