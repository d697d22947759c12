// SPDX-License-Identifier: MIT
// The attempts: the first and the last kFullAtEachEnd in full, each with its steps and how it
// ended, and one row each for those between.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "view/page_parts.h"

namespace tarvik::view {
namespace {

// S(r,c)
void WriteCellName(HtmlWriter& w, const Cell& cell) {
  w.Text("S(").Number(cell.row).Text(",").Number(cell.column).Text(")");
}

// S(r,c)=v, or with blanks around the sign
void WriteCellValue(HtmlWriter& w, const Cell& cell, bool spaced = false) {
  WriteCellName(w, cell);
  w.Text(spaced ? " = " : "=").Number(cell.value);
}

std::int32_t LastStepNumber(const DrawnAttempt& attempt) {
  return attempt.steps.empty() ? attempt.summary.steps : attempt.steps.back().number;
}

std::string_view EndingClass(Ending ending) {
  switch (ending) {
    case Ending::kSolved: return "e-good";
    case Ending::kGuessed: return "e-guess";
    case Ending::kStepLimit: return "e-bad";
    case Ending::kUnfinished: return "e-none";
    case Ending::kStackFull:
    case Ending::kDeadCell:
    case Ending::kNoTwoValueCell: break;
  }
  return "e-back";
}

// How an attempt ended, in a few words.
void WriteEndingShort(HtmlWriter& w, const AttemptSummary& attempt) {
  switch (attempt.ending) {
    case Ending::kSolved: w.Text("solved"); return;
    case Ending::kStepLimit: w.Text("step limit"); return;
    case Ending::kGuessed:
      w.Text("guessed ");
      WriteCellValue(w, attempt.cell);
      return;
    case Ending::kStackFull:
      w.Text("stack full at ");
      WriteCellName(w, attempt.cell);
      w.Text(", backtracked");
      return;
    case Ending::kDeadCell:
      w.Text("dead cell ");
      WriteCellName(w, attempt.cell);
      w.Text(", backtracked");
      return;
    case Ending::kNoTwoValueCell: w.Text("no two-value cell, backtracked"); return;
    case Ending::kUnfinished: break;
  }
  w.Text("unfinished");
}

void WriteGuessList(HtmlWriter& w, const AttemptSummary& attempt) {
  const int kept = std::min(attempt.guessCount, AttemptSummary::kMaxGuesses);
  if (kept == 0) w.Text("none");
  for (int k = 0; k < kept; ++k) {
    if (k > 0) w.Text(" ");
    WriteCellValue(w, attempt.guesses[static_cast<std::size_t>(k)]);
  }
  if (attempt.guessCount > kept) w.Text(" and ").Number(attempt.guessCount - kept).Text(" more");
}

void WriteSummaryLine(HtmlWriter& w, const AttemptSummary& attempt) {
  w.Open("summary").Open("span").Class("n").Text("Attempt ").Number(attempt.number).Close();
  w.Open("span").StartAttribute("class").Text("e ").Text(EndingClass(attempt.ending));
  w.EndAttribute();
  WriteEndingShort(w, attempt);
  w.Close().Open("span").Class("m").Number(attempt.steps);
  w.Text(attempt.steps == 1 ? " step, " : " steps, ").Number(attempt.emptyAtStart).Text(" ");
  w.Entity("rarr").Text(" ").Number(attempt.emptyAtEnd).Text(" empty").Close();
  w.Open("span").Class("g").Text("guesses: ");
  WriteGuessList(w, attempt);
  w.Close().Close().Line();
}

// Why a stalled attempt ended as it did.
void WriteStallReason(HtmlWriter& w, const AttemptSummary& attempt) {
  switch (attempt.ending) {
    case Ending::kGuessed:
      WriteCellName(w, attempt.cell);
      w.Text(" could be ").Number(attempt.cell.value).Text(" or ").Number(attempt.secondValue);
      w.Text(": guessed ").Number(attempt.cell.value).Text(" at level ");
      w.Number(attempt.guessCount + 1).Text(", and started again.");
      return;
    case Ending::kStackFull:
      WriteCellName(w, attempt.cell);
      w.Text(" could be ").Number(attempt.cell.value).Text(" or ").Number(attempt.secondValue);
      w.Text(", but the stack already holds 10 guesses: backtracked.");
      return;
    case Ending::kDeadCell:
      WriteCellName(w, attempt.cell);
      w.Text(" has no possible value: backtracked.");
      return;
    default: w.Text("No empty cell has exactly two possible values: backtracked."); return;
  }
}

void WriteEndingSentence(HtmlWriter& w, const DrawnAttempt& drawn, const PuzzleState& input,
                         Outcome outcome, bool isLast) {
  const AttemptSummary& attempt = drawn.summary;
  w.Open("p").Class("ending");
  switch (attempt.ending) {
    case Ending::kSolved:
      w.Text("Solved at step ").Number(LastStepNumber(drawn)).Text(": no empty cell left.");
      break;
    case Ending::kStepLimit:
      w.Text("Stopped at step ").Number(LastStepNumber(drawn)).Text(", the step limit of ");
      w.Number(input.NSTEPS).Text(", with ").Number(attempt.emptyAtEnd).Text(" empty cells left.");
      break;
    case Ending::kUnfinished: w.Text("The attempt did not finish."); break;
    default:
      w.Text("Stalled after step ").Number(LastStepNumber(drawn));
      w.Text(": the empty cells stopped falling. ");
      WriteStallReason(w, attempt);
      if (isLast && outcome == Outcome::kNoSolution) {
        w.Text(" No guess was left to try: the puzzle has no solution.");
      } else if (isLast && outcome == Outcome::kNoFurtherGuesses) {
        w.Text(" No guess was left to try.");
      }
  }
  w.Close().Line();
}

void WriteStartSentence(HtmlWriter& w, const AttemptSummary& attempt) {
  w.Open("p").Text("Started with ").Number(attempt.emptyAtStart).Text(" empty cells");
  const int kept = std::min(attempt.guessCount, AttemptSummary::kMaxGuesses);
  if (kept == 0) {
    w.Text(" and no guesses.");
  } else {
    w.Text(" and these guesses in force:");
    for (int k = 0; k < kept; ++k) {
      w.Text(k == 0 ? " level " : "; level ").Number(k + 1).Text(" ");
      WriteCellValue(w, attempt.guesses[static_cast<std::size_t>(k)], true);
    }
    w.Text(".");
  }
  w.Close().Line();
}

void WriteStepTable(HtmlWriter& w, const DrawnAttempt& drawn) {
  w.Open("table").Class("steps").Line();
  w.Open("thead").Open("tr").Element("th", "num", "Step").Element("th", "Technique");
  w.Element("th", "Cells filled").Element("th", "num", "Empty after");
  w.Close().Close().Line();  // tr, thead
  w.Open("tbody").Line();
  for (const DrawnStep& step : drawn.steps) {
    w.Open("tr").Open("td").Class("num").Number(step.number).Close();
    w.Open("td").Open("span").StartAttribute("class").Text("key ").Text(ClassOf(step.technique));
    w.EndAttribute().Text(LetterOf(step.technique)).Close();
    w.Text(" ").Text(NameOf(step.technique)).Close().Open("td");
    if (step.fillCount == 0) w.Element("span", "none", "none");
    for (int k = 0; k < step.fillCount; ++k) {
      if (k > 0) w.Text(", ");
      WriteCellValue(
          w, drawn.fills[static_cast<std::size_t>(step.firstFill) + static_cast<std::size_t>(k)]);
    }
    w.Close().Open("td").Class("num").Number(step.emptyAfter).Close().Close().Line();
  }
  w.Close().Close().Line();  // tbody, table
}

void WriteFullAttempt(HtmlWriter& w, const DrawnAttempt& drawn, const PuzzleState& input,
                      Outcome outcome, bool isLast) {
  const AttemptSummary& attempt = drawn.summary;
  w.Open("details").StartAttribute("id").Text("attempt-").Number(attempt.number).EndAttribute();
  if (isLast) w.Attribute("open");
  w.Line();
  WriteSummaryLine(w, attempt);
  w.Open("div").Line();
  WriteStartSentence(w, attempt);
  if (!drawn.steps.empty()) WriteStepTable(w, drawn);
  const auto stepsKept = static_cast<std::int32_t>(drawn.steps.size());
  if (attempt.steps > stepsKept || drawn.fillsDropped > 0) {
    w.Open("p").Class("note").Text("Not kept: ").Number(attempt.steps - stepsKept);
    w.Text(" later steps and ").Number(drawn.fillsDropped);
    w.Text(" cells filled beyond the first 81.").Close().Line();
  }
  WriteEndingSentence(w, drawn, input, outcome, isLast);
  w.Close().Line();  // div
  w.Close().Line();  // details
}

void WriteSummaryRow(HtmlWriter& w, const AttemptSummary& attempt) {
  w.Open("tr").Open("td").Class("num").Number(attempt.number).Close().Open("td");
  WriteGuessList(w, attempt);
  w.Close().Open("td").Class("num").Number(attempt.steps).Close();
  w.Open("td").Class("num").Number(attempt.emptyAtEnd).Close();
  w.Open("td").Class(EndingClass(attempt.ending));
  WriteEndingShort(w, attempt);
  w.Close().Close().Line();
}

void WriteSummaryRows(HtmlWriter& w, const RunRecorder& run) {
  const auto total = static_cast<std::int32_t>(run.summary().run.attempts);
  const std::int32_t firstRow = RunRecorder::kFullAtEachEnd + 1;
  const std::int32_t lastRow = total - RunRecorder::kFullAtEachEnd;
  const std::span<const AttemptSummary> rows = run.summaries();
  w.Open("details").Class("middle").Line();
  w.Open("summary").Text("Attempts ").Number(firstRow).Text(" to ").Number(lastRow);
  w.Text(": one row each").Close().Line();
  w.Open("div").Line();
  w.Open("table").Class("rows").Line();
  w.Open("thead").Open("tr").Element("th", "num", "Attempt").Element("th", "Guesses in force");
  w.Element("th", "num", "Steps").Element("th", "num", "Empty at end").Element("th", "Ending");
  w.Close().Close().Line();  // tr, thead
  w.Open("tbody").Line();
  std::int32_t listed = 0;
  for (std::int32_t number = firstRow; number <= lastRow; ++number) {
    const auto index = static_cast<std::size_t>(number) - 1;
    if (index >= rows.size()) break;
    WriteSummaryRow(w, rows[index]);
    ++listed;
  }
  w.Close().Close().Line();  // tbody, table
  if (listed < lastRow - firstRow + 1) {
    w.Open("p").Class("note").Number(lastRow - firstRow + 1 - listed);
    w.Text(" attempts beyond these are not listed.").Close().Line();
  }
  w.Close().Line();  // div
  w.Close().Line();  // details
}

}  // namespace

void WriteAttempts(HtmlWriter& w, const PuzzleState& input, const RunRecorder& run,
                   const std::vector<const DrawnAttempt*>& full) {
  const std::int64_t total = run.summary().run.attempts;
  w.Open("section").Line();
  w.Element("h2", "Attempts").Line();
  w.Open("p").Class("note");
  if (total > kFullAttempts) {
    w.Text("The first and the last ").Number(RunRecorder::kFullAtEachEnd).Text(" of the ");
    w.Number(total).Text(" attempts in full, the others one row each. ");
  }
  w.Text("Every attempt starts from the start grid with its guesses applied; open one to see ");
  w.Text("its steps.").Close().Line();
  for (const DrawnAttempt* drawn : full) {
    if (total > kFullAttempts && drawn->summary.number == total - RunRecorder::kFullAtEachEnd + 1) {
      WriteSummaryRows(w, run);
    }
    WriteFullAttempt(w, *drawn, input, run.summary().run.outcome, drawn == &run.last());
  }
  w.Close().Line();  // section
}

}  // namespace tarvik::view
