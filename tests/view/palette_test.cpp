// SPDX-License-Identifier: MIT
#include "view/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string_view>

#include "control/run_summary.h"

namespace tarvik::view {
namespace {

// Relative luminance and contrast ratio as the web accessibility guidelines define them.
double Luminance(std::uint32_t colour) {
  const auto channel = [colour](int shift) {
    const double c = ((colour >> shift) & 0xFFu) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(16) + 0.7152 * channel(8) + 0.0722 * channel(0);
}

double Contrast(std::uint32_t a, std::uint32_t b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const Colour* Find(std::string_view name) {
  for (const Colour& colour : kColours) {
    if (colour.name == name) return &colour;
  }
  return nullptr;
}

TEST(PaletteTest, ContrastOfTheGuidelinesChecksKnownPairs) {
  EXPECT_NEAR(Contrast(0x000000, 0xffffff), 21.0, 1e-9);
  EXPECT_NEAR(Contrast(0x777777, 0xffffff), 4.48, 0.01);  // the grey just below 4.5
}

TEST(PaletteTest, EveryForegroundHasContrastOfAtLeastFourAndAHalfInBothSchemes) {
  for (const ColourPair& pair : kForegroundPairs) {
    const Colour* foreground = Find(pair.foreground);
    const Colour* background = Find(pair.background);
    ASSERT_NE(foreground, nullptr) << pair.foreground;
    ASSERT_NE(background, nullptr) << pair.background;
    EXPECT_GE(Contrast(foreground->light, background->light), 4.5)
        << pair.foreground << " on " << pair.background << ", light";
    EXPECT_GE(Contrast(foreground->dark, background->dark), 4.5)
        << pair.foreground << " on " << pair.background << ", dark";
  }
}

// The overview's bars and chart columns stand on the page and on table rows: graphics need a
// contrast of 3 in both schemes, and the names must follow the outcomes the page writes.
TEST(PaletteTest, OutcomeColoursStandOutAsGraphicsInBothSchemes) {
  const Colour* page = Find("page");
  ASSERT_NE(page, nullptr);
  for (const Colour& colour : kOutcomeColours) {
    EXPECT_GE(Contrast(colour.light, page->light), 3.0) << colour.name << ", light";
    EXPECT_GE(Contrast(colour.dark, page->dark), 3.0) << colour.name << ", dark";
    EXPECT_EQ(Find(colour.name), nullptr) << colour.name << " is also a run page colour";
  }
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(kOutcomeColours[k].name.substr(2), OutcomeName(static_cast<Outcome>(k)));
  }
}

TEST(PaletteTest, NamesAreUniqueAndFitACssCustomProperty) {
  std::set<std::string_view> names;
  for (const Colour& colour : kColours) {
    EXPECT_TRUE(names.insert(colour.name).second) << colour.name;
    for (const char c : colour.name) EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '-') << colour.name;
    EXPECT_LE(colour.light, 0xFFFFFFu);
    EXPECT_LE(colour.dark, 0xFFFFFFu);
  }
}

}  // namespace
}  // namespace tarvik::view
