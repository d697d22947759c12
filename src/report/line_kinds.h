#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tarvik {

// Every kind of report line. Each is one constant template of the table below.
enum class LineKind : std::uint8_t {
  SEARCHSEQUENCE,
  PUZZLESTART,
  PUZZLESOLVED,
  MAXSTEPS,
  NOPROGRESS,
  PAIRFOUND,
  RESTARTING,
  GUESSAPPLIED,
  NOSOLUTION,
  NOMOREGUESSES,
  FILEBANNER,
  ROWSTEP,
  COLUMNSTEP,
  BOXSTEP,
  SINGLESTEP,
  CELLFOUND,
  CELLFOUNDCOLUMN,
  FOUNDCOUNT,
  MATRIXHEADER,
  MATRIXROW,
};
inline constexpr int kLineKindCount = 20;

// One item of a template: literal text, a line end, or `repeat` integer fields of `width`.
struct TemplateItem {
  enum class Type : std::uint8_t { kText, kLineEnd, kField };
  Type type;
  std::string_view text;
  std::uint8_t repeat;
  std::uint8_t width;
};

// The one table of templates, a compile-time constant so that the layout routine can be built for
// each line kind with its template known (report/layout.h). Items: Text("..."), End() for a line
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

// Indexed by LineKind; the order follows the enumeration.
inline constexpr std::array<std::span<const TemplateItem>, kLineKindCount> kTable = {
    kSearchSequence, kPuzzleStart,     kPuzzleSolved, kMaxSteps,     kNoProgress,
    kPairFound,      kRestarting,      kGuessApplied, kNoSolution,   kNoMoreGuesses,
    kFileBanner,     kRowStep,         kColumnStep,   kBoxStep,      kSingleStep,
    kCellFound,      kCellFoundColumn, kFoundCount,   kMatrixHeader, kMatrixRow,
};

}  // namespace templates

// The template of a line kind.
constexpr std::span<const TemplateItem> TemplateOf(LineKind kind) {
  return templates::kTable[static_cast<std::size_t>(kind)];
}

// The number of integer fields in a template (every write but SEARCHSEQUENCE gives that many).
constexpr int FieldCount(LineKind kind) {
  int count = 0;
  for (const TemplateItem& item : TemplateOf(kind)) {
    if (item.type == TemplateItem::Type::kField) count += item.repeat;
  }
  return count;
}

}  // namespace tarvik
