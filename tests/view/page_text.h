// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik::view::testing {

// One given on each box's diagonal: a puzzle for rows fed to a tally by hand.
inline constexpr std::string_view kDiagonalPuzzle =
    "100000000020000000003000000000400000000050000000006000000000700000000080000000009";

inline std::size_t Count(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

inline bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// What every page holds and never holds: one whole document, a dark scheme, nothing fetched from
// elsewhere, and no more than its bound.
inline void ExpectWholeDocument(const std::string& page, std::size_t maxBytes) {
  EXPECT_TRUE(
      page.starts_with("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">"));
  EXPECT_TRUE(page.ends_with("</main>\n</body>\n</html>\n"));
  for (const std::string_view banned :
       {"//", "http", "<script", "src=", "<link", "url(", "@import"}) {
    EXPECT_FALSE(Has(page, banned)) << banned;
  }
  EXPECT_TRUE(Has(page, "@media (prefers-color-scheme: dark){"));
  EXPECT_LE(page.size(), maxBytes);
}

}  // namespace tarvik::view::testing
