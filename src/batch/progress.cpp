// SPDX-License-Identifier: MIT
#include "batch/progress.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "batch/grading.h"

namespace tarvik::batch {

void Progress::Update(std::uint64_t rows, std::uint64_t bytesRead, std::uint64_t inputSize) {
  if (!shown_) return;
  const Clock::time_point now = Clock::now();
  if (now - lastDrawn_ < std::chrono::milliseconds(250)) return;
  lastDrawn_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  char line[128];
  int length = std::snprintf(line, sizeof line, "\rtarvik: %llu puzzles, %.0f/s",
                             static_cast<unsigned long long>(rows),
                             seconds > 0 ? static_cast<double>(rows) / seconds : 0.0);
  if (inputSize > 0 && length > 0) {
    length +=
        std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length), ", %.0f%%",
                      100.0 * static_cast<double>(bytesRead) / static_cast<double>(inputSize));
  }
  errors_ << std::string_view(line, static_cast<std::size_t>(std::max(length, 0))) << "\x1b[K"
          << std::flush;
  drawn_ = true;
}

void Progress::Erase() {
  if (!drawn_) return;
  errors_ << "\r\x1b[K" << std::flush;
  drawn_ = false;
}

void Progress::Summarize(const Tally& tally) {
  Erase();
  const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
  char timing[64];
  (void)std::snprintf(timing, sizeof timing, "%.2f s (%.0f/s)", seconds,
                      seconds > 0 ? static_cast<double>(tally.puzzles) / seconds : 0.0);
  errors_ << "tarvik: " << tally.puzzles << " puzzles, " << tally.refused << " refused, in "
          << timing;
  const char* separator = ": ";
  for (const Outcome outcome :
       {Outcome::kSolved, Outcome::kStepLimit, Outcome::kNoFurtherGuesses, Outcome::kNoSolution}) {
    const std::uint64_t count = tally.outcomes[static_cast<int>(outcome)];
    if (count == 0) continue;
    errors_ << separator << count << ' ' << OutcomeName(outcome);
    separator = ", ";
  }
  errors_ << '\n';
}

}  // namespace tarvik::batch
