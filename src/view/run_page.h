// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
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

// Where the page of a puzzle of a batch stands: its FILE:LINE, in a sweep its parameter set, and
// the link back to the overview written beside it.
struct BatchPlace {
  std::string_view fileLine;     // shown as outside text
  std::string_view indexLink;    // "index.html"; percent-encoded where a URL needs it
  std::optional<int> solutions;  // 0, 1 or 2 (two or more), when counted
  std::string_view set = {};     // "set K: L/S/Q" in a sweep, else empty
};

// The page of a recorded run: one self-contained HTML5 document. `input` gives the parameters
// (its print level is the one shown) and the start grid; `source`, if not empty, names where the
// puzzle came from and is shown as outside text. With `place`, the title and heading name its
// FILE:LINE instead, and its set if any, and the page links back to the overview; without it, the
// page has no link.
std::string RenderPage(const PuzzleState& input, const RunRecorder& run, std::string_view source,
                       const std::optional<BatchPlace>& place = std::nullopt);

// RecordRun, then RenderPage.
std::string RenderRunPage(const PuzzleState& input, std::string_view source);

}  // namespace tarvik::view
