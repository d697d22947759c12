// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "state/puzzle_state.h"
#include "view/run_recorder.h"

namespace tarvik::view {

// No page is larger, whatever the run.
inline constexpr std::size_t kMaxPageBytes = 5'000'000;

// Works a copy of `input` (a state as the input reader leaves it) at print level 2, with
// `recorder` listening to the report, and returns what Solve returns; the algorithm is
// deterministic, so this is the run that `input` gives at any print level.
RunSummary RecordRun(const PuzzleState& input, RunRecorder& recorder);

// The page of a recorded run: one self-contained HTML5 document. `input` gives the parameters
// (its print level is the one shown) and the start grid; `source`, if not empty, names where the
// puzzle came from and is shown as outside text.
std::string RenderPage(const PuzzleState& input, const RunRecorder& run, std::string_view source);

// RecordRun, then RenderPage.
std::string RenderRunPage(const PuzzleState& input, std::string_view source);

}  // namespace tarvik::view
