// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvik::view {

// The page's colours, one CSS custom property each (--name), for the light and the dark scheme.
// The technique hues follow the Okabe-Ito set, which stays apart for the common forms of colour
// blindness; each also carries a letter, so no fact rests on colour alone.
struct Colour {
  std::string_view name;
  std::uint32_t light;  // 0xRRGGBB
  std::uint32_t dark;
};

inline constexpr Colour kColours[] = {
    {"page", 0xffffff, 0x15171a},
    {"panel", 0xf3f4f6, 0x202328},
    {"text", 0x1c1e22, 0xe6e8eb},
    {"muted", 0x535a66, 0xa4abb6},
    {"rule", 0xc3c8d0, 0x3a3f47},   // thin lines: cell borders, chart grid
    {"frame", 0x1c1e22, 0xc9ced6},  // grid frame and box borders, chart axes
    {"given", 0xe6e8ec, 0x2b2f36},
    // Cells by the technique that filled them: background, and the colour of the mark.
    {"rows", 0xd6e9f8, 0x0f3653},
    {"rows-mark", 0x00507f, 0xa3d5f5},
    {"columns", 0xfce8c0, 0x47340a},
    {"columns-mark", 0x774f00, 0xf2cd78},
    {"boxes", 0xcdeee3, 0x0d4034},
    {"boxes-mark", 0x005e45, 0x86dcc2},
    {"single", 0xf6deec, 0x47263d},
    {"single-mark", 0x873868, 0xefb6d6},
    {"guess", 0xfcd9c6, 0x52240c},
    {"guess-mark", 0x973800, 0xffb18c},
    // Chart: the attempts, the final attempt, and the band of the others.
    {"line", 0x005f94, 0x56b4e9},
    {"final", 0xa84500, 0xff9a5c},
    {"band", 0xdcebf5, 0x1d3547},
    // The outcome: solved, or not.
    {"good", 0x006b4f, 0x5fd3ae},
    {"bad", 0xa33a00, 0xff9a6b},
};

// The overview of a batch: one colour per outcome, in the order of Outcome, for bars and chart
// columns, and one for refused lines. Okabe-Ito's bluish green, blue, vermilion and reddish
// purple, lighter on the dark scheme; each number is also written out, so no fact rests on
// colour alone. Written into a page's style only by the overview.
inline constexpr Colour kOutcomeColours[] = {
    {"o-solved", 0x009e73, 0x3fcf9f},      {"o-step-limit", 0x0072b2, 0x56b4e9},
    {"o-no-solution", 0xd55e00, 0xff8f4f}, {"o-no-further-guesses", 0xcc79a7, 0xe8a5ca},
    {"o-refused", 0x858b95, 0x727884},
};

// Every pair of a foreground (text, or a chart line) and the background it stands on.
struct ColourPair {
  std::string_view foreground;
  std::string_view background;
};

inline constexpr ColourPair kForegroundPairs[] = {
    {"text", "page"},          {"muted", "page"},        {"text", "panel"},
    {"muted", "panel"},        {"text", "given"},        {"text", "rows"},
    {"rows-mark", "rows"},     {"text", "columns"},      {"columns-mark", "columns"},
    {"text", "boxes"},         {"boxes-mark", "boxes"},  {"text", "single"},
    {"single-mark", "single"}, {"text", "guess"},        {"guess-mark", "guess"},
    {"rows-mark", "page"},     {"columns-mark", "page"}, {"boxes-mark", "page"},
    {"single-mark", "page"},   {"guess-mark", "page"},   {"line", "page"},
    {"final", "page"},         {"final", "band"},        {"line", "band"},
    {"text", "band"},          {"good", "panel"},        {"bad", "panel"},
    {"good", "page"},          {"bad", "page"},
};

}  // namespace tarvik::view
