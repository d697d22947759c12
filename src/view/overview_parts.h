// SPDX-License-Identifier: MIT
#pragma once

// The parts of a batch's overview, each written by a file of its own; overview_page.cpp puts
// them together.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "control/run_summary.h"
#include "view/batch_tally.h"
#include "view/html_writer.h"
#include "view/page_pieces.h"
#include "view/sweep_tally.h"

namespace tarvik::view {

// An outcome's CSS class, which also names its colour: o-solved, o-step-limit, ...
void WriteOutcomeClass(HtmlWriter& w, Outcome outcome);
// FILE:LINE, the FILE as outside text.
void WriteFileLine(HtmlWriter& w, std::string_view source, std::int64_t line);

// A round step for a count axis, about four lines to `highest` (overview_charts.cpp).
std::int64_t AxisStep(std::int64_t highest);
// A count on an axis: 1500, 20k, 3M (overview_charts.cpp).
void WriteAxisNumber(HtmlWriter& w, std::int64_t value);

// A bar of the lines of `counts`, one part per outcome then the refused lines, `width` by
// `height` (overview_charts.cpp).
void WriteStackedBar(HtmlWriter& w, const LineCounts& counts, int width, int height);
// The charts of attempts, steps and deepest guess level, by outcome (overview_charts.cpp).
void WriteDistributions(HtmlWriter& w, const BatchTally& tally);

// The table of FILEs (overview_tables.cpp).
void WriteFileTable(HtmlWriter& w, const BatchTally& tally);
// Outcomes against solutions, when counted (overview_tables.cpp).
void WriteSolutions(HtmlWriter& w, const BatchTally& tally);
// The hardest puzzles, linked to their pages as `linkBase` + page, if there is a link base
// (overview_tables.cpp).
void WriteHardest(HtmlWriter& w, const BatchTally& tally, std::optional<std::string_view> linkBase);
// The answer checks, when made: their counts, the first puzzles whose answers differ (linked as
// the hardest are) and how many more (overview_tables.cpp).
void WriteAnswers(HtmlWriter& w, const BatchTally& tally, std::optional<std::string_view> linkBase);
// The first refused lines, and how many more (overview_tables.cpp).
void WriteRefused(HtmlWriter& w, const BatchTally& tally);

// A sweep's top: its sets, lines and FILEs, and its best set (overview_sweep.cpp).
void WriteSweepTop(HtmlWriter& w, const SweepTally& sweep, const BatchTally& best);
// The sets in the best `order`, the first SweepTally::kShownSets of them (overview_sweep.cpp).
void WriteSetTable(HtmlWriter& w, const SweepTally& sweep, const std::vector<std::size_t>& order,
                   const std::vector<bool>& unbeaten);
// Share solved against steps, a dot per set (overview_sweep.cpp).
void WriteSweepChart(HtmlWriter& w, const SweepTally& sweep, const std::vector<std::size_t>& order,
                     const std::vector<bool>& unbeaten);
// How many sets solve each puzzle, and the first puzzles that none solves, linked to the first
// sets' pages if there is a link base (overview_sweep.cpp).
void WriteSolvedBy(HtmlWriter& w, const SweepTally& sweep,
                   std::optional<std::string_view> linkBase);

}  // namespace tarvik::view
