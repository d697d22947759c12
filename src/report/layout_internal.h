// SPDX-License-Identifier: MIT
#pragma once

// The machinery behind LayOut (report/layout.h), internal to the report: the layout routine built
// for each line kind from its template, for callers that know the line kind at compile time.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
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

// Item I of the template of K, for a write that has a value for every field.
template <LineKind K, std::size_t I>
char* LayOutItem(std::span<const std::int32_t> values, std::size_t& next, char* out) {
  constexpr TemplateItem kItem = TemplateOf(K)[I];
  if constexpr (kItem.type == TemplateItem::Type::kText) {
    return CopySmall(kItem.text, out);
  } else if constexpr (kItem.type == TemplateItem::Type::kLineEnd) {
    *out = '\n';
    return out + 1;
  } else {
    out = FormatFieldsOf<kItem.width>(values.subspan(next, kItem.repeat), out);
    next += kItem.repeat;
    return out;
  }
}

// The layout routine built for line kind K. Nearly every write gives exactly one value per field:
// then the template is applied once, item by item, with every text, width and count known here.
template <LineKind K>
char* LayOutOf(std::span<const std::int32_t> values, char* out) {
  constexpr std::span<const TemplateItem> kItems = TemplateOf(K);
  if (values.size() != static_cast<std::size_t>(FieldCount(K))) {
    return LayOutAny(kItems, values, out);
  }
  std::size_t next = 0;
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((out = LayOutItem<K, I>(values, next, out)), ...);
  }
  (std::make_index_sequence<kItems.size()>());
  *out = '\n';
  return out + 1;
}

}  // namespace tarvik::layout
