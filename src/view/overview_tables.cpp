// SPDX-License-Identifier: MIT
// The overview's tables: the FILEs, outcomes against solutions, the hardest puzzles, the answers
// and the refused lines.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "view/overview_parts.h"

namespace tarvik::view {
namespace {

constexpr std::string_view kWarning = "\xE2\x9A\xA0";  // U+26A0

void WriteNumberCell(HtmlWriter& w, std::int64_t value) {
  w.Open("td").Class("num").Number(value).Close();
}

void WriteOutcomeHeading(HtmlWriter& w, Outcome outcome) {
  w.Open("th").Class("num").Open("span").StartAttribute("class").Text("dot ");
  WriteOutcomeClass(w, outcome);
  w.EndAttribute().Close();
  WriteOutcomeWords(w, outcome);
  w.Close();
}

// The numbers of a FILE (or of several) and their bar.
void WriteCountCells(HtmlWriter& w, const LineCounts& counts) {
  WriteNumberCell(w, counts.linesRead);
  WriteNumberCell(w, counts.puzzles);
  WriteNumberCell(w, counts.refused);
  for (const std::int64_t count : counts.outcomes) WriteNumberCell(w, count);
  w.Open("td").Class("bar");
  if (counts.puzzles + counts.refused > 0) WriteStackedBar(w, counts, 170, 14);
  w.Close();
}

void WriteFileRow(HtmlWriter& w, const FileTally& file) {
  w.Open("tr").Open("td").OutsideText(file.source, BatchTally::kShownCharacters).Close();
  if (file.notRead && file.counts.puzzles + file.counts.refused == 0) {
    w.Open("td").Class("why").Attribute("colspan", 8).Text("not read: ");
    w.OutsideText(*file.notRead, BatchTally::kShownCharacters).Close();
  } else {
    WriteCountCells(w, file.counts);
    if (file.notRead) {
      w.Close().Line().Open("tr").Open("td").Close();
      w.Open("td").Class("why").Attribute("colspan", 8).Text("read up to here: ");
      w.OutsideText(*file.notRead, BatchTally::kShownCharacters).Close();
    }
  }
  w.Close().Line();
}

void WriteHardRow(HtmlWriter& w, std::size_t rank, const HardPuzzle& puzzle,
                  std::optional<std::string_view> linkBase, bool solutions) {
  w.Open("tr");
  WriteNumberCell(w, static_cast<std::int64_t>(rank));
  w.Open("td");
  const bool linked = linkBase && !puzzle.page.empty();
  if (linked) w.Open("a").Href(*linkBase, puzzle.page);
  WriteFileLine(w, puzzle.source, puzzle.line);
  if (linked) w.Close();
  w.Close();
  w.Open("td").Open("code").Class("puzzle");
  w.Text(std::string_view(puzzle.puzzle.data(), puzzle.puzzle.size())).Close().Close();
  w.Open("td").Open("span").StartAttribute("class").Text("dot ");
  WriteOutcomeClass(w, puzzle.run.outcome);
  w.EndAttribute().Close();
  WriteOutcomeWords(w, puzzle.run.outcome);
  w.Close();
  WriteNumberCell(w, puzzle.run.attempts);
  WriteNumberCell(w, puzzle.run.steps);
  WriteNumberCell(w, puzzle.run.depth);
  if (solutions) {
    w.Open("td").Class("num");
    if (puzzle.solutions) {
      w.Text(*puzzle.solutions >= 2 ? "2+" : *puzzle.solutions == 1 ? "1" : "0");
    }
    w.Close();
  }
  w.Close().Line();
}

}  // namespace

void WriteFileTable(HtmlWriter& w, const BatchTally& tally) {
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "by-file").Text("By FILE").Close().Line();
  w.Open("table").Class("rows files").Line().Open("thead").Open("tr");
  w.Element("th", "FILE").Element("th", "num", "lines read").Element("th", "num", "puzzles");
  w.Element("th", "num", "refused");
  for (std::size_t k = 0; k < kOutcomes; ++k) WriteOutcomeHeading(w, static_cast<Outcome>(k));
  w.Element("th", "").Close().Close().Line();  // tr, thead
  w.Open("tbody").Line();
  for (const FileTally& file : tally.files()) WriteFileRow(w, file);
  if (tally.moreFiles() > 0) {
    w.Open("tr").Class("more").Open("td").Text("and ").Number(tally.moreFiles());
    w.Text(tally.moreFiles() == 1 ? " more FILE" : " more FILEs").Close();
    WriteCountCells(w, tally.moreCounts());
    w.Close().Line();
  }
  w.Close().Line();  // tbody
  w.Open("tfoot").Open("tr").Element("td", "all");
  WriteCountCells(w, tally.totals());
  w.Close().Close().Line();  // tr, tfoot
  w.Close().Line();          // table
  w.Close().Line();          // section
}

void WriteSolutions(HtmlWriter& w, const BatchTally& tally) {
  if (!tally.parameters().solutions) return;
  constexpr std::array<std::string_view, 3> kColumns = {"none", "one", "two or more"};
  const OutcomeBins<3>& table = tally.solutions();
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "solutions").Text("Solutions").Close().Line();
  w.Open("dl").Class("facts").Line();
  constexpr std::array<std::string_view, 3> kIds = {"solutions-0", "solutions-1", "solutions-2"};
  for (std::size_t s = 0; s < 3; ++s) {
    std::int64_t count = 0;
    for (const auto& row : table) count += row[s];
    w.Open("div").Element("dt", s == 0 ? "No solution" : s == 1 ? "One solution" : "Two or more");
    w.Open("dd").Attribute("id", kIds[s]).Number(count).Close().Close().Line();
  }
  w.Close().Line();  // dl
  w.Open("table").Class("cross").Attribute("id", "outcome-solutions").Line();
  w.Open("thead").Open("tr").Element("th", "outcome \\ solutions");
  for (const std::string_view column : kColumns) w.Element("th", column);
  w.Close().Close().Line();
  w.Open("tbody").Line();
  for (std::size_t k = 0; k < kOutcomes; ++k) {
    const auto outcome = static_cast<Outcome>(k);
    w.Open("tr").Open("th").Attribute("scope", "row");
    WriteOutcomeWords(w, outcome);
    w.Close();
    for (std::size_t s = 0; s < 3; ++s) {
      // Solved with several solutions found only one of them; not solved with exactly one
      // missed the answer there is.
      const bool misleading = table[k][s] > 0 && ((outcome == Outcome::kSolved) ? s == 2 : s == 1);
      w.Open("td");
      if (misleading) w.Class("mislead").Attribute("title", "misleading");
      w.Number(table[k][s]);
      if (misleading) w.Text(" ").Text(kWarning);
      w.Close();
    }
    w.Close().Line();
  }
  w.Close().Close().Line();  // tbody, table
  w.Open("p").Class("note").Text(kWarning);
  w.Text(" marks the outcomes that mislead: solved though the puzzle has other solutions, ");
  w.Text("and not solved though it has exactly one.").Close().Line();
  w.Close().Line();  // section
}

void WriteHardest(HtmlWriter& w, const BatchTally& tally,
                  std::optional<std::string_view> linkBase) {
  const bool solutions = tally.parameters().solutions;
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "hardest").Text("The hardest puzzles").Close().Line();
  if (tally.hardest().empty()) {
    w.Element("p", "note", "No puzzle was graded.").Line();
    w.Close().Line();  // section
    return;
  }
  w.Open("p").Class("note").Text("The ").Number(static_cast<std::int64_t>(tally.hardest().size()));
  w.Text(" with the most steps over all their attempts; equal steps in input order.");
  w.Close().Line();
  w.Open("table").Class("rows hardest").Line().Open("thead").Open("tr");
  w.Element("th", "num", "#").Element("th", "FILE:LINE").Element("th", "puzzle");
  w.Element("th", "outcome").Element("th", "num", "attempts").Element("th", "num", "steps");
  w.Element("th", "num", "depth");
  if (solutions) w.Element("th", "num", "solutions");
  w.Close().Close().Line().Open("tbody").Line();
  std::size_t rank = 0;
  for (const HardPuzzle& puzzle : tally.hardest()) {
    WriteHardRow(w, ++rank, puzzle, linkBase, solutions);
  }
  w.Close().Close().Line();  // tbody, table
  w.Close().Line();          // section
}

void WriteAnswers(HtmlWriter& w, const BatchTally& tally,
                  std::optional<std::string_view> linkBase) {
  const auto& counts = tally.totals().answers;
  std::int64_t checked = 0;
  for (const std::int64_t count : counts) checked += count;
  if (checked == 0) return;
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "answers").Text("Answers").Close().Line();
  w.Open("dl").Class("facts").Line();
  for (std::size_t k = 0; k < kAnswerChecks; ++k) {
    const auto check = static_cast<AnswerCheck>(k);
    const std::string_view name = AnswerName(check);
    // Answers that differ and answers that are not answers are worth a look.
    const bool warn =
        counts[k] > 0 && (check == AnswerCheck::kDiffers || check == AnswerCheck::kBad);
    w.Open("div").Element("dt", name);
    w.Open("dd").StartAttribute("id").Text("answers-").Text(name).EndAttribute();
    w.Number(counts[k]);
    if (warn) w.Text(" ").Text(kWarning);
    w.Close().Close().Line();
  }
  w.Close().Line();  // dl
  if (!tally.differing().empty()) {
    w.Open("p").Class("note").Text("The first puzzles whose solved grid is not their answer:");
    w.Close().Line();
    w.Open("table").Class("rows differing").Line().Open("thead").Open("tr");
    w.Element("th", "num", "#").Element("th", "FILE:LINE").Close().Close().Line();
    w.Open("tbody").Line();
    std::int64_t rank = 0;
    for (const DifferingPuzzle& puzzle : tally.differing()) {
      w.Open("tr");
      WriteNumberCell(w, ++rank);
      w.Open("td");
      const bool linked = linkBase && !puzzle.page.empty();
      if (linked) w.Open("a").Href(*linkBase, puzzle.page);
      WriteFileLine(w, puzzle.source, puzzle.line);
      if (linked) w.Close();
      w.Close().Close().Line();
    }
    w.Close().Close().Line();  // tbody, table
    if (tally.moreDiffering() > 0) {
      w.Open("p").Class("note").Attribute("id", "more-differing").Text("and ");
      w.Number(tally.moreDiffering()).Text(" more").Close().Line();
    }
  }
  w.Close().Line();  // section
}

void WriteRefused(HtmlWriter& w, const BatchTally& tally) {
  w.Open("section").Line();
  w.Open("h2").Attribute("id", "refused-lines").Text("Refused lines").Close().Line();
  if (tally.refusals().empty()) {
    w.Element("p", "note", "No line was refused.").Line();
    w.Close().Line();  // section
    return;
  }
  w.Open("table").Class("rows refused").Line().Open("thead").Open("tr");
  w.Element("th", "FILE:LINE").Element("th", "why").Close().Close().Line();
  w.Open("tbody").Line();
  for (const RefusedLine& refused : tally.refusals()) {
    w.Open("tr").Open("td");
    WriteFileLine(w, refused.source, refused.line);
    w.Close().Open("td").OutsideText(refused.message, BatchTally::kShownCharacters);
    w.Close().Close().Line();
  }
  w.Close().Close().Line();  // tbody, table
  if (tally.moreRefused() > 0) {
    w.Open("p").Class("note").Attribute("id", "more-refused").Text("and ");
    w.Number(tally.moreRefused())
        .Text(tally.moreRefused() == 1 ? " more refused line" : " more refused lines");
    w.Close().Line();
  }
  w.Close().Line();  // section
}

}  // namespace tarvik::view
