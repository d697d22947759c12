#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tarvik {

// Every kind of report line. Each is one constant template of the table below.
enum class LineKind : std::uint8_t {
  SEARCHSEQUENCE,
  PUZZLESTART,
  PUZZLESOLVED,
  MAXSTEPS,
  NOPROGRESS,
  PAIRFOUND,
  RESTARTING,
  GUESSAPPLIED,
  NOSOLUTION,
  NOMOREGUESSES,
  FILEBANNER,
  ROWSTEP,
  COLUMNSTEP,
  BOXSTEP,
  SINGLESTEP,
  CELLFOUND,
  CELLFOUNDCOLUMN,
  FOUNDCOUNT,
  MATRIXHEADER,
  MATRIXROW,
};
inline constexpr int kLineKindCount = 20;

// One item of a template: literal text, a line end, or `repeat` integer fields of `width`.
struct TemplateItem {
  enum class Type : std::uint8_t { Text, LineEnd, Field };
  Type type;
  std::string_view text;
  std::uint8_t repeat;
  std::uint8_t width;
};

// The template of a line kind, from the one table of templates.
std::span<const TemplateItem> TemplateOf(LineKind kind);

// The number of integer fields in a template (every write but SEARCHSEQUENCE gives that many).
int FieldCount(LineKind kind);

}  // namespace tarvik
