#include "report/line_kinds.h"

#include <array>

namespace tarvik {
namespace {

constexpr TemplateItem Text(std::string_view text) {
  return {TemplateItem::Type::Text, text, 0, 0};
}
constexpr TemplateItem End() { return {TemplateItem::Type::LineEnd, {}, 0, 0}; }
constexpr TemplateItem Field(int width, int repeat = 1) {
  return {TemplateItem::Type::Field, {}, static_cast<std::uint8_t>(repeat),
          static_cast<std::uint8_t>(width)};
}

constexpr TemplateItem kSearchSequence[] = {
    End(), Text(" Search Sequence"), End(), Field(3, 10), End(), Field(3, 10),
    End(), Field(3, 10),             End(), Field(3, 10)};
constexpr TemplateItem kPuzzleStart[] = {End(), Text("Puzzle Start"), Field(6), Text(" Unknowns")};
constexpr TemplateItem kPuzzleSolved[] = {End(), Text("Puzzle Solved ")};
constexpr TemplateItem kMaxSteps[] = {End(), Text("Puzzle not solved in maximum number of steps")};
constexpr TemplateItem kNoProgress[] = {
    End(), Text("Puzzle not solved  -  not getting any further improvement with each step."),
    End()};
constexpr TemplateItem kPairFound[] = {Text("          S("), Field(1), Text(","), Field(1),
                                       Text(") could be "), Field(1), Text(" or "), Field(1),
                                       End()};
constexpr TemplateItem kRestarting[] = {End(), Text("Restarting with guesses:")};
constexpr TemplateItem kGuessApplied[] = {Text("     S("), Field(1), Text(","), Field(1),
                                          Text(") = "), Field(1)};
constexpr TemplateItem kNoSolution[] = {
    End(), Text(" No guesses possible.   Error in puzzle definition.   No solution")};
constexpr TemplateItem kNoMoreGuesses[] = {
    End(), Text("Puzzle not solved  -  no further guesses possible")};
constexpr TemplateItem kFileBanner[] = {End(), Text("Sudoku puzzle definition input:   Sudin.txt"),
                                        End(), Text("Sudoku puzzle solver program:     Tarvik.exe"),
                                        End(), Text("Sudoku puzzle solution output:    Sudout.txt")};
constexpr TemplateItem kRowStep[] = {End(), Text("Step"), Field(3),
                                     Text("  Search each row for positions for each value")};
constexpr TemplateItem kColumnStep[] = {End(), Text("Step"), Field(3),
                                        Text("  Search each column for positions for each value")};
constexpr TemplateItem kBoxStep[] = {End(), Text("Step"), Field(3),
                                     Text("  Search each box for positions for each value")};
constexpr TemplateItem kSingleStep[] = {
    End(), Text("Step"), Field(3),
    Text("  Search each position to see if a single value can be assigned.")};
constexpr TemplateItem kCellFound[] = {Text("           S("), Field(1), Text(","), Field(1),
                                       Text(") = "), Field(2)};
constexpr TemplateItem kCellFoundColumn[] = {Text("           S("), Field(1), Text(","), Field(1),
                                             Text(") = "), Field(1)};
constexpr TemplateItem kFoundCount[] = {Text("          Found positions for "), Field(1),
                                        Text(" values")};
constexpr TemplateItem kMatrixHeader[] = {Text("          Sudoku Matrix"), Field(6),
                                          Text(" unknowns")};
constexpr TemplateItem kMatrixRow[] = {Field(3, 9)};

// Indexed by LineKind; the order must follow the enumeration.
constexpr std::array<std::span<const TemplateItem>, kLineKindCount> kTemplates = {
    kSearchSequence, kPuzzleStart, kPuzzleSolved,  kMaxSteps,   kNoProgress,
    kPairFound,      kRestarting,  kGuessApplied,  kNoSolution, kNoMoreGuesses,
    kFileBanner,     kRowStep,     kColumnStep,    kBoxStep,    kSingleStep,
    kCellFound,      kCellFoundColumn, kFoundCount, kMatrixHeader, kMatrixRow,
};

}  // namespace

std::span<const TemplateItem> TemplateOf(LineKind kind) {
  return kTemplates[static_cast<std::size_t>(kind)];
}

int FieldCount(LineKind kind) {
  int count = 0;
  for (const TemplateItem& item : TemplateOf(kind)) {
    if (item.type == TemplateItem::Type::Field) count += item.repeat;
  }
  return count;
}

}  // namespace tarvik
