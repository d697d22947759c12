// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/run_parameters.h"

namespace tarvik::batch {

// The most parameter sets one batch works with.
inline constexpr std::size_t kMaxParameterSets = 10000;

using tarvik::ParameterLists;

// Why a list was refused: the item at fault and what was expected instead.
struct ListRefusal {
  std::string item;
  std::string expected;
};

// Reads a comma-separated list of whole numbers and ranges A-B or A-B/S (A, A+S, ... up to B;
// unsigned decimals), each within [low, high], into `values`, leaving out repeats. Refuses a list
// that would hold more than `room` values, counted before any is listed.
std::optional<ListRefusal> ParseNumberList(std::string_view text, std::int32_t low,
                                           std::int32_t high, std::size_t room,
                                           std::vector<std::int32_t>& values);

// Reads a comma-separated list of search sequences and perm:CODES (every distinct ordering of
// CODES, in ascending numeric order) into `values`, leaving out repeats; refuses more than `room`.
std::optional<ListRefusal> ParseSequenceList(std::string_view text, std::size_t room,
                                             std::vector<std::string>& values);

}  // namespace tarvik::batch
