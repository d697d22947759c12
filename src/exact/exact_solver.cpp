// SPDX-License-Identifier: MIT
#include "exact/exact_solver.h"

#include <bit>
#include <cassert>
#include <cstdint>

namespace tarvik::exact {
namespace {

// A set of values is a 9-bit mask: bit v-1 stands for value v.
using Values = std::uint16_t;
constexpr Values kAllValues = 0x1FF;

// The 27 units are numbered rows 0-8, columns 9-17, boxes 18-26 (boxes row by row); a cell is
// numbered 0-80 in reading order.
struct Geometry {
  std::uint8_t row[81];      // unit of the cell's row
  std::uint8_t column[81];   // unit of its column
  std::uint8_t box[81];      // unit of its box
  std::uint8_t unit[27][9];  // the cells of each unit
};

constexpr Geometry MakeGeometry() {
  Geometry g{};
  std::uint8_t filled[27] = {};
  for (int k = 0; k < 81; ++k) {
    const int r = k / 9;
    const int c = k % 9;
    const int units[3] = {r, 9 + c, 18 + r / 3 * 3 + c / 3};
    g.row[k] = static_cast<std::uint8_t>(units[0]);
    g.column[k] = static_cast<std::uint8_t>(units[1]);
    g.box[k] = static_cast<std::uint8_t>(units[2]);
    for (const int u : units) g.unit[u][filled[u]++] = static_cast<std::uint8_t>(k);
  }
  return g;
}
constexpr Geometry kGeometry = MakeGeometry();

// One node of the search, copied whole (about 400 bytes) when it branches.
//
//   cells[k]       the value of cell k, 0 while empty
//   placed[u]      the values unit u holds
//   candidates[k]  the values empty cell k may take, never too few: exact after a sweep that
//                  placed nothing, and short of what eliminations removed; 0 once it is filled
//   empty[0..n)    the cells still empty, or filled since the last sweep (it drops them)
struct Board {
  std::uint8_t cells[81];
  Values placed[27];
  Values candidates[81];
  std::uint8_t empty[81];
  int emptyCount;
};

// The values no unit of cell k holds yet.
Values Unplaced(const Board& b, int k) {
  return static_cast<Values>(
      kAllValues &
      ~(b.placed[kGeometry.row[k]] | b.placed[kGeometry.column[k]] | b.placed[kGeometry.box[k]]));
}
// The values empty cell k may still take.
Values FreeValues(const Board& b, int k) { return b.candidates[k] & Unplaced(b, k); }

void Place(Board& b, int k, Values value) {
  b.cells[k] = static_cast<std::uint8_t>(std::countr_zero(value) + 1);
  b.placed[kGeometry.row[k]] |= value;
  b.placed[kGeometry.column[k]] |= value;
  b.placed[kGeometry.box[k]] |= value;
  b.candidates[k] = 0;
}

enum class Progress { kStuck, kPlaced, kContradiction };

// A sweep over the empty cells: a cell with one free value takes it at once, so that later cells
// of the sweep see it. The candidates of the cells kept are exact only when nothing was placed.
Progress SweepNakedSingles(Board& b) {
  Progress progress = Progress::kStuck;
  int kept = 0;
  for (int i = 0; i < b.emptyCount; ++i) {
    const int k = b.empty[i];
    if (b.cells[k] != 0) continue;  // filled by a hidden single
    const Values free = FreeValues(b, k);
    if (free == 0) return Progress::kContradiction;
    if ((free & (free - 1)) == 0) {
      Place(b, k, free);
      progress = Progress::kPlaced;
      continue;
    }
    b.candidates[k] = free;
    b.empty[kept++] = static_cast<std::uint8_t>(k);
  }
  b.emptyCount = kept;
  return progress;
}

// For each unit, the values that only one of its cells may take go there; a value that no cell of
// a unit may take is a contradiction. Needs exact candidates on entry; a placement leaves the
// candidates of its neighbours stale (too many values), which keeps both conclusions sound as
// long as each placement is checked against the free values at that moment.
Progress PlaceHiddenSingles(Board& b) {
  Progress progress = Progress::kStuck;
  for (int u = 0; u < 27; ++u) {
    const std::uint8_t* unit = kGeometry.unit[u];
    Values once = 0;
    Values twice = 0;
    for (int j = 0; j < 9; ++j) {
      const Values m = b.candidates[unit[j]];
      twice |= once & m;
      once |= m;
    }
    if ((once | b.placed[u]) != kAllValues) return Progress::kContradiction;
    Values single = once & static_cast<Values>(~(twice | b.placed[u]));
    while (single != 0) {
      const auto value = static_cast<Values>(single & -single);
      single ^= value;
      // Its one cell may have been filled meanwhile (its candidates are then 0), or have lost
      // the value to a neighbour: either way the unit has no place left for it.
      int j = 0;
      while (j < 9 && (b.candidates[unit[j]] & value) == 0) ++j;
      if (j == 9) return Progress::kContradiction;
      const int k = unit[j];
      if ((FreeValues(b, k) & value) == 0) return Progress::kContradiction;
      Place(b, k, value);
      progress = Progress::kPlaced;
    }
  }
  return progress;
}

// Locked candidates, in one band of three rows (or three columns) and the three boxes along it.
// Where the values a line may take in one box are confined to that box within the line, the
// box's other lines lose them ("claiming"); where the values a box may take in one of its lines
// are confined to that line, the line's other boxes lose them ("pointing"). Cell (line i,
// segment s, place j) of the band is first + across * (3 * s + j) + down * i: rows are
// (27 * band, 1, 9), columns (3 * band, 9, 1). Needs exact candidates.
bool EliminateInBand(Board& b, int first, int across, int down) {
  Values segment[3][3];  // [line][box]: the candidates of the line's three cells in the box
  for (int i = 0; i < 3; ++i) {
    for (int s = 0; s < 3; ++s) {
      const int k = first + down * i + across * 3 * s;
      segment[i][s] = b.candidates[k] | b.candidates[k + across] | b.candidates[k + 2 * across];
    }
  }
  Values drop[3][3] = {};
  for (int i = 0; i < 3; ++i) {
    const int i1 = (i + 1) % 3;
    const int i2 = (i + 2) % 3;
    for (int s = 0; s < 3; ++s) {
      const int s1 = (s + 1) % 3;
      const int s2 = (s + 2) % 3;
      const Values here = segment[i][s];
      const auto claimed = static_cast<Values>(here & ~(segment[i][s1] | segment[i][s2]));
      const auto pointed = static_cast<Values>(here & ~(segment[i1][s] | segment[i2][s]));
      drop[i1][s] |= claimed;
      drop[i2][s] |= claimed;
      drop[i][s1] |= pointed;
      drop[i][s2] |= pointed;
    }
  }
  bool eliminated = false;
  for (int i = 0; i < 3; ++i) {
    for (int s = 0; s < 3; ++s) {
      if ((drop[i][s] & segment[i][s]) == 0) continue;
      eliminated = true;
      const auto keep = static_cast<Values>(~drop[i][s]);
      const int k = first + down * i + across * 3 * s;
      for (int j = 0; j < 3; ++j) b.candidates[k + across * j] &= keep;
    }
  }
  return eliminated;
}

Progress EliminateLockedCandidates(Board& b) {
  bool eliminated = false;
  for (int band = 0; band < 3; ++band) {
    eliminated |= EliminateInBand(b, 27 * band, 1, 9);
    eliminated |= EliminateInBand(b, 3 * band, 9, 1);
  }
  return eliminated ? Progress::kPlaced : Progress::kStuck;
}

// Fills every cell that singles prove, with locked candidates eliminated whenever singles run
// out; false on a contradiction. On true the candidates of the cells left empty are exact.
bool Propagate(Board& b) {
  for (;;) {
    switch (SweepNakedSingles(b)) {
      case Progress::kContradiction: return false;
      case Progress::kPlaced: continue;
      case Progress::kStuck: break;
    }
    if (b.emptyCount == 0) return true;
    switch (PlaceHiddenSingles(b)) {
      case Progress::kContradiction: return false;
      case Progress::kPlaced: continue;
      case Progress::kStuck: break;
    }
    if (EliminateLockedCandidates(b) == Progress::kStuck) return true;
  }
}

struct Count {
  int solutions = 0;
  Cells* first = nullptr;  // where the first solution goes, if anywhere
};

// Depth first, branching on the empty cell with the fewest candidates; stops at two solutions.
void Search(Board& b, Count& count) {
  if (!Propagate(b)) return;
  if (b.emptyCount == 0) {
    if (count.solutions++ == 0 && count.first != nullptr) {
      for (int k = 0; k < 81; ++k) (*count.first)[static_cast<std::size_t>(k)] = b.cells[k];
    }
    return;
  }
  int best = b.empty[0];
  int fewest = 10;
  for (int i = 0; i < b.emptyCount && fewest > 2; ++i) {
    const int k = b.empty[i];
    const int n = std::popcount(b.candidates[k]);
    if (n < fewest) {
      best = k;
      fewest = n;
    }
  }
  Values values = b.candidates[best];
  while (values != 0 && count.solutions < 2) {
    const auto value = static_cast<Values>(values & -values);
    values ^= value;
    if (values == 0) {  // the last value: this node is not needed any more
      Place(b, best, value);
      Search(b, count);
    } else {
      Board next = b;
      Place(next, best, value);
      Search(next, count);
    }
  }
}

SolutionCount CountUpToTwo(const Cells& cells, Cells* first) {
  Board b{};
  for (int k = 0; k < 81; ++k) {
    const std::uint8_t v = cells[static_cast<std::size_t>(k)];
    assert(v <= 9);
    if (v == 0) {
      b.candidates[k] = kAllValues;
      b.empty[b.emptyCount++] = static_cast<std::uint8_t>(k);
      continue;
    }
    const auto value = static_cast<Values>(1u << (v - 1));
    if ((Unplaced(b, k) & value) == 0) return SolutionCount::kNone;  // a repeated given
    Place(b, k, value);
  }
  Count count{0, first};
  Search(b, count);
  return static_cast<SolutionCount>(count.solutions);
}

}  // namespace

SolutionCount CountSolutions(const Cells& cells) { return CountUpToTwo(cells, nullptr); }

SolutionCount CountSolutions(const Cells& cells, Cells& solution) {
  return CountUpToTwo(cells, &solution);
}

}  // namespace tarvik::exact
