// SPDX-License-Identifier: MIT
#pragma once

// The machinery behind LayOut (report/layout.h), internal to the report: the layout routine built
// for each line kind from its template, for callers that know the line kind at compile time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <utility>

#include "report/layout.h"
#include "report/line_templates.h"

namespace tarvik::layout {

// Copies `bytes` (a line or two of report text) to `out` and returns its end. Cheaper than a call
// of memcpy for the short pieces the report is made of.
inline char* CopySmall(std::string_view bytes, char* out) {
  const char* from = bytes.data();
  const std::size_t n = bytes.size();
  if (n >= 16) {
    for (std::size_t k = 0; k + 16 <= n; k += 16) std::memcpy(out + k, from + k, 16);
    std::memcpy(out + n - 16, from + n - 16, 16);  // the tail, overlapping what is copied
  } else if (n >= 8) {
    std::memcpy(out, from, 8);
    std::memcpy(out + n - 8, from + n - 8, 8);
  } else {
    for (std::size_t k = 0; k < n; ++k) out[k] = from[k];
  }
  return out + n;
}

// Writes `value` right-justified in `width` characters, or `width` asterisks if it needs more.
char* FormatField(std::int32_t value, int width, char* out);

// The layout rules in full, for any template and any number of values (see LayOut).
char* LayOutAny(std::span<const TemplateItem> items, std::span<const std::int32_t> values,
                char* out);

// Writes each value in a field of width W. The fields are blanked first, in a few wide stores
// that may reach past them (later text or the line end overwrites that, within the room a write
// is given); then a one-digit value, by far the most common, is a single store of its digit.
template <int W>
char* FormatFieldsOf(std::span<const std::int32_t> values, char* out) {
  const std::size_t bytes = values.size() * W;
  for (std::size_t k = 0; k < bytes; k += 16) std::memcpy(out + k, "                ", 16);
  for (const std::int32_t value : values) {
    if (static_cast<std::uint32_t>(value) <= 9u) {
      out[W - 1] = static_cast<char>('0' + value);
    } else if (W >= 2 && static_cast<std::uint32_t>(value) <= 99u) {
      out[W - 2] = static_cast<char>('0' + value / 10);
      out[W - 1] = static_cast<char>('0' + value % 10);
    } else {
      FormatField(value, W, out);
    }
    out += W;
  }
  return out;
}

// A write of kind K that gives one value per field: its whole text, the fields blank, and where
// each field starts and how wide it is.
template <LineKind K>
struct LineShape {
  static constexpr std::size_t kFields = static_cast<std::size_t>(FieldCount(K));
  static constexpr std::size_t Length() {
    std::size_t length = 1;  // the final line end
    for (const TemplateItem& item : TemplateOf(K)) {
      if (item.type == TemplateItem::Type::kText) length += item.text.size();
      if (item.type == TemplateItem::Type::kLineEnd) length += 1;
      if (item.type == TemplateItem::Type::kField) length += std::size_t{item.repeat} * item.width;
    }
    return length;
  }
  std::array<char, Length()> text{};
  std::array<std::size_t, kFields> at{};
  std::array<int, kFields> width{};
};

template <LineKind K>
constexpr LineShape<K> MakeLineShape() {
  LineShape<K> shape;
  std::size_t length = 0;
  std::size_t field = 0;
  for (const TemplateItem& item : TemplateOf(K)) {
    if (item.type == TemplateItem::Type::kText) {
      for (const char c : item.text) shape.text[length++] = c;
    } else if (item.type == TemplateItem::Type::kLineEnd) {
      shape.text[length++] = '\n';
    } else {
      for (int k = 0; k < item.repeat; ++k, ++field) {
        shape.at[field] = length;
        shape.width[field] = item.width;
        for (int c = 0; c < item.width; ++c) shape.text[length++] = ' ';
      }
    }
  }
  shape.text[length] = '\n';
  return shape;
}

template <LineKind K>
inline constexpr LineShape<K> kLineShape = MakeLineShape<K>();

// Whether `value` shows in a field of width W as one digit, or two where W is wider.
template <int W>
constexpr bool Short(std::int32_t value) {
  return static_cast<std::uint32_t>(value) <= (W >= 2 ? 99u : 9u);
}

// Writes a short value right-justified into the blank field of width W at `field`.
template <int W>
void FillField(std::int32_t value, char* field) {
  auto digits = static_cast<std::uint32_t>(value);
  if constexpr (W >= 2) {
    if (digits > 9) {
      field[W - 2] = static_cast<char>('0' + digits / 10);
      digits %= 10;
    }
  }
  field[W - 1] = static_cast<char>('0' + digits);
}

// The layout routine built for line kind K. Nearly every write gives exactly one short value per
// field: then the line's whole text is copied at once and each value written into its field.
// Any other write takes the rules in full.
template <LineKind K>
char* LayOutOf(std::span<const std::int32_t> values, char* out) {
  constexpr const LineShape<K>& kShape = kLineShape<K>;
  const bool common =
      values.size() == kShape.kFields&& [&]<std::size_t... F>(std::index_sequence<F...>) {
    return (Short<kShape.width[F]>(values[F]) && ...);
  }
  (std::make_index_sequence<kShape.kFields>());
  if (!common) [[unlikely]] {
    return LayOutAny(TemplateOf(K), values, out);
  }
  CopySmall(std::string_view(kShape.text.data(), kShape.text.size()), out);
  [&]<std::size_t... F>(std::index_sequence<F...>) {
    (FillField<kShape.width[F]>(values[F], out + kShape.at[F]), ...);
  }
  (std::make_index_sequence<kShape.kFields>());
  return out + kShape.text.size();
}

}  // namespace tarvik::layout
