// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "view/batch_tally.h"
#include "view/sweep_tally.h"

namespace tarvik::view {

// No overview is larger, whatever the batch.
inline constexpr std::size_t kMaxOverviewBytes = 1'000'000;

// The overview of a batch: one self-contained HTML5 document. A puzzle's page is linked as
// `linkBase` followed by its page name, both percent-encoded where a URL needs it: "" when the
// overview is written beside the pages (DIR/index.html), "../pages/" say for one written
// elsewhere (see LinkBase); no puzzle is linked without a link base. Nothing in it depends on
// time, place or threads: the same tally gives the same bytes.
std::string RenderOverview(const BatchTally& tally, std::optional<std::string_view> linkBase);

// The overview of a sweep: its sets, share solved against steps, how many sets solve each
// puzzle, then the usual sections for `best`, the tally of its best set (SweepTally::TallyOf).
// Puzzles are linked to their sets' pages as above.
std::string RenderOverview(const SweepTally& sweep, const BatchTally& best,
                           std::optional<std::string_view> linkBase);

// How to reach the folder `pagesDir` from the folder of the file `overview`, worked out from the
// names alone, as a relative link ending in '/' ("" for the same folder): "pages/" for
// "overview.html" and "pages", "../pages/" for "out/overview.html" and "pages". Nothing when it
// cannot be done without looking at the file system: one name absolute and the other not, or a
// ".." in the overview's folder beyond what the two have in common.
std::optional<std::string> LinkBase(std::string_view overview, std::string_view pagesDir);

}  // namespace tarvik::view
