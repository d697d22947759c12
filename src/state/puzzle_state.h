// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "state/grid.h"
#include "state/one_based.h"

namespace tarvik {

// Names in capitals are the algorithm's own names for its routines, state fields and line kinds;
// every other name follows the code's style.
//
// Everything a run knows, in one record of fixed size: the grids, the run parameters, the progress
// history, the guess stack and the scratch indices that the routines share. Every routine works on
// this record in place; nothing is allocated while the puzzle is worked. Arrays are indexed from 1.
struct PuzzleState {
  // Grids. Cells hold 0 (empty) to 9; the input reader refuses anything else.
  Grid S;                            // working grid
  Grid SSTART;                       // start grid, exactly as read; never changed after reading
  OneBased<std::int32_t, 9> ROWBUF;  // one input row while it is read

  // Run parameters, set once from the input file.
  std::int32_t IPRINT = 0;          // print level
  std::int32_t NBACK = 0;           // look-back distance of the progress test, in steps
  std::int32_t NSTEPS = 0;          // entries of SEQ, and the step limit of one attempt
  OneBased<std::int32_t, 100> SEQ;  // technique code of each step; 0 beyond NSTEPS

  // Progress.
  std::int32_t STEP = 0;  // current step of the attempt; 0 at its start
  std::int32_t NUNK = 0;  // empty cells of S at the last count
  OneBased<std::int32_t, 100>
      UNKNOWNS;             // NUNK after step k; overwritten per attempt, never cleared
  std::int32_t NSTART = 0;  // attempt starts reported so far

  // Guess stack: level k holds the cell (GROW, GCOL), its two candidates in ascending order, and
  // whether the first of them is still the value in force (GFIRST 1) or the second (0).
  static constexpr int kMaxLevel = 10;
  std::int32_t LEVEL = 0;
  OneBased<std::int32_t, kMaxLevel> GROW, GCOL, GVAL1, GVAL2, GFIRST;
  // 1 once the guess logic has backtracked without meeting a dead cell (no two-value cell found,
  // or a push refused at the full stack): an empty stack then no longer proves "no solution".
  std::int32_t unproven = 0;

  // Scratch fields shared as loop variables; only SEARCHFORPAIR hands I, J, NCAND, CAND1 and
  // CAND2 on to its caller.
  std::int32_t I = 0;
  std::int32_t J = 0;
  std::int32_t NCAND = 0;
  std::int32_t CAND1 = 0;
  std::int32_t CAND2 = 0;

  // First row and first column of box b; boxes are numbered 1 to 9 row by row (see state/grid.h).
  static constexpr auto BOXROW = OneBased<std::int32_t, 9>::Of(BoxFirstRow);
  static constexpr auto BOXCOL = OneBased<std::int32_t, 9>::Of(BoxFirstColumn);
};

// Copies the start grid into the working grid, row by row; leaves I and J at 10.
void SETSTART(PuzzleState& st);

}  // namespace tarvik
