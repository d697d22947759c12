// SPDX-License-Identifier: MIT
#include "batch/progress.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "system/diagnostics.h"
#include "system/quoting.h"

namespace tarvik::batch {

void Progress::Update(std::uint64_t rows, std::uint64_t bytesRead, std::uint64_t inputSize) {
  if (!shown_) return;
  const Clock::time_point now = Clock::now();
  if (now - lastDrawn_ < std::chrono::milliseconds(250)) return;
  lastDrawn_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  char line[128];
  int length = std::snprintf(line, sizeof line, "%.*s%llu puzzles, %.0f/s",
                             static_cast<int>(kMessagePrefix.size()), kMessagePrefix.data(),
                             static_cast<unsigned long long>(rows),
                             seconds > 0 ? static_cast<double>(rows) / seconds : 0.0);
  if (inputSize > 0 && length > 0) {
    // Rounded down: 100 % only once the last line's row is out.
    const auto percent = static_cast<unsigned>(
        bytesRead >= inputSize ? 100
                               : std::min(99.0, 100.0 * static_cast<double>(bytesRead) /
                                                    static_cast<double>(inputSize)));
    length += std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length), ", %u%%",
                            percent);
  }
  const auto size =
      static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(sizeof line) - 1));
  errors_ << '\r' << std::string_view(line, size);
  if (plain_) {
    // Blanks over what is left of a longer line before.
    if (drawn_ > size) errors_ << std::string(drawn_ - size, ' ');
  } else {
    errors_ << "\x1b[K";
  }
  errors_ << std::flush;
  drawn_ = std::max(drawn_, size);
}

void Progress::Erase() {
  if (drawn_ == 0) return;
  if (plain_) {
    errors_ << '\r' << std::string(drawn_, ' ') << '\r' << std::flush;
  } else {
    errors_ << "\r\x1b[K" << std::flush;
  }
  drawn_ = 0;
}

namespace {

// ": 9 solved, 2 step-limit", the outcomes that came, or all four when `all`; then, when counted,
// "; solutions: 1 none, 9 one, 1 two or more"; then, when checked, "; answers: 8 match, ..." with
// every result.
void PutOutcomes(std::ostream& out, const LineCounts& counts, bool all, bool solutions,
                 bool answers) {
  const char* separator = ": ";
  for (const Outcome outcome :
       {Outcome::kSolved, Outcome::kStepLimit, Outcome::kNoFurtherGuesses, Outcome::kNoSolution}) {
    const std::int64_t count = counts.outcomes[static_cast<std::size_t>(outcome)];
    if (count == 0 && !all) continue;
    out << separator << count << ' ' << OutcomeName(outcome);
    separator = ", ";
  }
  if (solutions) {
    out << "; solutions: " << counts.solutions[0] << " none, " << counts.solutions[1] << " one, "
        << counts.solutions[2] << " two or more";
  }
  if (!answers) return;
  separator = "; answers: ";
  for (std::size_t k = 0; k < kAnswerChecks; ++k) {
    out << separator << counts.answers[k] << ' ' << AnswerName(static_cast<AnswerCheck>(k));
    separator = ", ";
  }
}

}  // namespace

void Progress::SummarizeSweep(std::size_t sets, std::string_view best, const LineCounts& counts,
                              std::int64_t steps) {
  Erase();
  errors_ << kMessagePrefix << sets << " parameter sets, the best is " << best << " with " << steps
          << " steps";
  PutOutcomes(errors_, counts, true, false, false);
  errors_ << '\n';
}

void Progress::Summarize(const LineCounts& totals, const std::vector<FileTally>& files) {
  Erase();
  if (files.size() > 1) {
    for (const FileTally& file : files) {
      errors_ << kMessagePrefix << Named(file.source) << ": ";
      if (file.notRead) {
        errors_ << "not read: " << *file.notRead << '\n';
        continue;
      }
      const LineCounts& counts = file.counts;
      errors_ << counts.linesRead << (counts.linesRead == 1 ? " line, " : " lines, ")
              << counts.puzzles << " puzzles, " << counts.refused << " refused";
      PutOutcomes(errors_, counts, true, solutions_, answers_);
      errors_ << '\n';
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
  char timing[64];
  (void)std::snprintf(timing, sizeof timing, "%.2f s (%.0f/s)", seconds,
                      seconds > 0 ? static_cast<double>(totals.puzzles) / seconds : 0.0);
  errors_ << kMessagePrefix << totals.puzzles << " puzzles, " << totals.refused << " refused, in "
          << timing;
  PutOutcomes(errors_, totals, false, solutions_, answers_);
  errors_ << '\n';
}

}  // namespace tarvik::batch
