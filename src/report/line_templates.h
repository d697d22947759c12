// SPDX-License-Identifier: MIT
#pragma once

// The one table of line templates. Internal to the report: every other part of the program names
// a line kind and hands over its values, and the layout routine applies the template.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "report/line_kinds.h"

namespace tarvik {

// One item of a template: literal text, a line end, or `repeat` integer fields of `width`.
struct TemplateItem {
  enum class Type : std::uint8_t { kText, kLineEnd, kField };
  Type type;
  std::string_view text;
  std::uint8_t repeat;
  std::uint8_t width;
};

// The table is a compile-time constant so that the layout routine can be built for each line kind
// with its template known (report/layout_internal.h). Items: Text("..."), End() for a line
// end, Field(width, repeat).
namespace templates {

constexpr TemplateItem Text(std::string_view text) {
  return {TemplateItem::Type::kText, text, 0, 0};
}
constexpr TemplateItem End() { return {TemplateItem::Type::kLineEnd, {}, 0, 0}; }
constexpr TemplateItem Field(int width, int repeat = 1) {
  return {TemplateItem::Type::kField,
          {},
          static_cast<std::uint8_t>(repeat),
          static_cast<std::uint8_t>(width)};
}

inline constexpr TemplateItem kSearchSequence[] = {End(), Text(" Search Sequence"),
                                                   End(), Field(3, 10),
                                                   End(), Field(3, 10),
                                                   End(), Field(3, 10),
                                                   End(), Field(3, 10)};
inline constexpr TemplateItem kPuzzleStart[] = {End(), Text("Puzzle Start"), Field(6),
                                                Text(" Unknowns")};
inline constexpr TemplateItem kPuzzleSolved[] = {End(), Text("Puzzle Solved ")};
inline constexpr TemplateItem kMaxSteps[] = {End(),
                                             Text("Puzzle not solved in maximum number of steps")};
inline constexpr TemplateItem kNoProgress[] = {
    End(), Text("Puzzle not solved  -  not getting any further improvement with each step."),
    End()};
inline constexpr TemplateItem kPairFound[] = {
    Text("          S("), Field(1), Text(","), Field(1), Text(") could be "), Field(1),
    Text(" or "),         Field(1), End()};
inline constexpr TemplateItem kRestarting[] = {End(), Text("Restarting with guesses:")};
inline constexpr TemplateItem kGuessApplied[] = {Text("     S("), Field(1),     Text(","),
                                                 Field(1),        Text(") = "), Field(1)};
inline constexpr TemplateItem kNoSolution[] = {
    End(), Text(" No guesses possible.   Error in puzzle definition.   No solution")};
inline constexpr TemplateItem kNoMoreGuesses[] = {
    End(), Text("Puzzle not solved  -  no further guesses possible")};
inline constexpr TemplateItem kFileBanner[] = {
    End(), Text("Sudoku puzzle definition input:   Sudin.txt"),
    End(), Text("Sudoku puzzle solver program:     Tarvik.exe"),
    End(), Text("Sudoku puzzle solution output:    Sudout.txt")};
inline constexpr TemplateItem kRowStep[] = {End(), Text("Step"), Field(3),
                                            Text("  Search each row for positions for each value")};
inline constexpr TemplateItem kColumnStep[] = {
    End(), Text("Step"), Field(3), Text("  Search each column for positions for each value")};
inline constexpr TemplateItem kBoxStep[] = {End(), Text("Step"), Field(3),
                                            Text("  Search each box for positions for each value")};
inline constexpr TemplateItem kSingleStep[] = {
    End(), Text("Step"), Field(3),
    Text("  Search each position to see if a single value can be assigned.")};
inline constexpr TemplateItem kCellFound[] = {Text("           S("), Field(1), Text(","), Field(1),
                                              Text(") = "),          Field(2)};
inline constexpr TemplateItem kCellFoundColumn[] = {
    Text("           S("), Field(1), Text(","), Field(1), Text(") = "), Field(1)};
inline constexpr TemplateItem kFoundCount[] = {Text("          Found positions for "), Field(1),
                                               Text(" values")};
inline constexpr TemplateItem kMatrixHeader[] = {Text("          Sudoku Matrix"), Field(6),
                                                 Text(" unknowns")};
inline constexpr TemplateItem kMatrixRow[] = {Field(3, 9)};

struct Entry {
  LineKind kind;
  std::span<const TemplateItem> items;
};

// Indexed by LineKind: entry k names kind k, as checked below.
inline constexpr std::array<Entry, kLineKindCount> kTable = {{
    {LineKind::SEARCHSEQUENCE, kSearchSequence},   {LineKind::PUZZLESTART, kPuzzleStart},
    {LineKind::PUZZLESOLVED, kPuzzleSolved},       {LineKind::MAXSTEPS, kMaxSteps},
    {LineKind::NOPROGRESS, kNoProgress},           {LineKind::PAIRFOUND, kPairFound},
    {LineKind::RESTARTING, kRestarting},           {LineKind::GUESSAPPLIED, kGuessApplied},
    {LineKind::NOSOLUTION, kNoSolution},           {LineKind::NOMOREGUESSES, kNoMoreGuesses},
    {LineKind::FILEBANNER, kFileBanner},           {LineKind::ROWSTEP, kRowStep},
    {LineKind::COLUMNSTEP, kColumnStep},           {LineKind::BOXSTEP, kBoxStep},
    {LineKind::SINGLESTEP, kSingleStep},           {LineKind::CELLFOUND, kCellFound},
    {LineKind::CELLFOUNDCOLUMN, kCellFoundColumn}, {LineKind::FOUNDCOUNT, kFoundCount},
    {LineKind::MATRIXHEADER, kMatrixHeader},       {LineKind::MATRIXROW, kMatrixRow},
}};

}  // namespace templates

// The template of a line kind.
constexpr std::span<const TemplateItem> TemplateOf(LineKind kind) {
  return templates::kTable[static_cast<std::size_t>(kind)].items;
}

// The number of integer fields in a template (every write but SEARCHSEQUENCE gives that many).
constexpr int FieldCount(LineKind kind) {
  int count = 0;
  for (const TemplateItem& item : TemplateOf(kind)) {
    if (item.type == TemplateItem::Type::kField) count += item.repeat;
  }
  return count;
}

// A line kind left out of the table would lay out as an empty line, and one out of place as another
// kind's line: refuse to build instead.
constexpr bool EveryKindHasItsTemplate() {
  for (std::size_t k = 0; k < templates::kTable.size(); ++k) {
    const templates::Entry& entry = templates::kTable[k];
    if (static_cast<std::size_t>(entry.kind) != k || entry.items.empty()) return false;
  }
  return true;
}
static_assert(EveryKindHasItsTemplate(),
              "the template table misses a line kind or is out of order");

}  // namespace tarvik
