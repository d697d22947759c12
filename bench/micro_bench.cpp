// SPDX-License-Identifier: MIT
// In-process timings of the innermost pieces of a run: the three constraint tests, one pass of
// each technique, and the layout routine. All work on one fixed grid, the 17-clue start grid of
// bench/puzzles/heavy-17-clues.txt, the case whose runs the speed targets are about.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <system_error>

#include "report/layout.h"
#include "report/report.h"
#include "state/puzzle_state.h"
#include "system/sinks.h"
#include "techniques/constraint_tests.h"
#include "techniques/techniques.h"

namespace {

using tarvik::LineKind;
using tarvik::PuzzleState;

constexpr std::array<std::array<std::int8_t, 9>, 9> kGrid = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 3, 6, 0, 0, 0, 0, 0},
    {0, 0, 5, 0, 9, 0, 0, 0, 0},
    {0, 0, 0, 0, 3, 0, 0, 0, 6},
    {0, 0, 0, 8, 4, 0, 0, 0, 0},
    {2, 8, 7, 1, 0, 0, 0, 0, 0},
    {5, 0, 0, 0, 0, 0, 0, 0, 0},
    {4, 0, 0, 0, 2, 0, 0, 0, 7},
    {7, 0, 0, 0, 0, 0, 0, 0, 0},
}};

PuzzleState FixedState(int printLevel) {
  PuzzleState st;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      st.SSTART(i, j) = kGrid[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    }
  }
  st.S = st.SSTART;
  st.IPRINT = printLevel;
  st.NBACK = 4;
  st.NSTEPS = 100;
  st.STEP = 1;
  return st;
}

// Reports the time of one call ("per_call", in seconds with an SI prefix) beside that of the
// iteration.
void PerCall(benchmark::State& state, int callsPerIteration) {
  state.counters["per_call"] = benchmark::Counter(
      static_cast<double>(callsPerIteration),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One iteration asks every unit about every value 0 to 9: 90 calls.
template <class Scan>
void BenchValueInRow(benchmark::State& state) {
  PuzzleState st = FixedState(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(st);  // the grid may have changed: no answer carries over
    int found = 0;
    for (int row = 1; row <= 9; ++row) {
      for (int value = 0; value <= 9; ++value) found += tarvik::VALUEINROW<Scan>(st, row, value);
    }
    benchmark::DoNotOptimize(found);
  }
  PerCall(state, 90);
}

template <class Scan>
void BenchValueInColumn(benchmark::State& state) {
  PuzzleState st = FixedState(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(st);
    int found = 0;
    for (int column = 1; column <= 9; ++column) {
      for (int value = 0; value <= 9; ++value) {
        found += tarvik::VALUEINCOLUMN<Scan>(st, column, value);
      }
    }
    benchmark::DoNotOptimize(found);
  }
  PerCall(state, 90);
}

template <class Scan>
void BenchValueInBox(benchmark::State& state) {
  PuzzleState st = FixedState(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(st);
    int found = 0;
    for (int b = 1; b <= 9; ++b) {
      for (int value = 0; value <= 9; ++value) {
        found +=
            tarvik::VALUEINBOX<Scan>(st, PuzzleState::BOXROW(b), PuzzleState::BOXCOL(b), value);
      }
    }
    benchmark::DoNotOptimize(found);
  }
  PerCall(state, 90);
}

BENCHMARK_TEMPLATE(BenchValueInRow, tarvik::scan::Baseline);
BENCHMARK_TEMPLATE(BenchValueInColumn, tarvik::scan::Baseline);
BENCHMARK_TEMPLATE(BenchValueInBox, tarvik::scan::Baseline);
// The cell-by-cell build, for comparison.
BENCHMARK_TEMPLATE(BenchValueInRow, tarvik::scan::Portable);
BENCHMARK_TEMPLATE(BenchValueInColumn, tarvik::scan::Portable);
BENCHMARK_TEMPLATE(BenchValueInBox, tarvik::scan::Portable);

// One pass of a technique over a fresh copy of the fixed grid, at the print level given as the
// argument: at 0 it writes nothing, at 2 its step lines go through a Report into null sinks,
// for the report's cost without the cost of a destination.
void BenchPass(benchmark::State& state, void (*pass)(PuzzleState&, tarvik::Report&)) {
  tarvik::NullSink console;
  tarvik::NullSink file;
  tarvik::Report report(console, file);
  const PuzzleState start = FixedState(static_cast<int>(state.range(0)));
  PuzzleState st = start;
  for (auto _ : state) {
    st.S = start.S;
    pass(st, report);
    benchmark::DoNotOptimize(st);
  }
  report.Finish();
}

BENCHMARK_CAPTURE(BenchPass, FINDPOSITIONINROWSFORVALUES, &tarvik::FINDPOSITIONINROWSFORVALUES)
    ->ArgName("IPRINT")
    ->Arg(0)
    ->Arg(2);
BENCHMARK_CAPTURE(BenchPass, FINDPOSITIONINCOLUMNSFORVALUES,
                  &tarvik::FINDPOSITIONINCOLUMNSFORVALUES)
    ->ArgName("IPRINT")
    ->Arg(0)
    ->Arg(2);
BENCHMARK_CAPTURE(BenchPass, FINDPOSITIONINBOXESFORVALUES, &tarvik::FINDPOSITIONINBOXESFORVALUES)
    ->ArgName("IPRINT")
    ->Arg(0)
    ->Arg(2);
BENCHMARK_CAPTURE(BenchPass, FINDVALUEFORPOSITION, &tarvik::FINDVALUEFORPOSITION)
    ->ArgName("IPRINT")
    ->Arg(0)
    ->Arg(2);

// One write of a line kind laid out into a buffer; bytes/s counts the text produced.
void BenchLayOut(benchmark::State& state, LineKind kind, std::span<const std::int32_t> values) {
  alignas(64) char out[tarvik::kMaxWriteBytes];
  std::size_t bytes = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(values.data());
    const char* end = tarvik::LayOut(kind, values, out);
    bytes = static_cast<std::size_t>(end - out);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
}

constexpr std::array<std::int32_t, 9> kMatrixRow = {5, 3, 0, 0, 7, 0, 0, 0, 0};

constexpr std::array<std::int32_t, 100> SearchSequence() {
  std::array<std::int32_t, 100> codes{};
  for (std::size_t k = 0; k < codes.size(); ++k) {
    codes[k] = k % 4 == 0 ? 4 : static_cast<std::int32_t>(k % 4);
  }
  return codes;
}
constexpr std::array<std::int32_t, 100> kSearchSequence = SearchSequence();

BENCHMARK_CAPTURE(BenchLayOut, MATRIXROW, LineKind::MATRIXROW,
                  std::span<const std::int32_t>(kMatrixRow));
BENCHMARK_CAPTURE(BenchLayOut, SEARCHSEQUENCE, LineKind::SEARCHSEQUENCE,
                  std::span<const std::int32_t>(kSearchSequence));

}  // namespace

BENCHMARK_MAIN();
