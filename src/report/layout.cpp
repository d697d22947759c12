// SPDX-License-Identifier: MIT
#include "report/layout.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <utility>

#include "report/layout_internal.h"

namespace tarvik {
namespace layout {

// Kept out of line: it is the rare case, and the loops that call it stay lean without it.
__attribute__((noinline)) char* FormatField(std::int32_t value, int width, char* out) {
  char digits[12];
  char* first = digits + sizeof digits;
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = '-';
  const int length = static_cast<int>(digits + sizeof digits - first);
  if (length > width) {
    std::memset(out, '*', static_cast<std::size_t>(width));
    return out + width;
  }
  std::memset(out, ' ', static_cast<std::size_t>(width - length));
  std::memcpy(out + (width - length), first, static_cast<std::size_t>(length));
  return out + width;
}

namespace {

char* FormatFields(std::span<const std::int32_t> values, int width, char* out) {
  switch (width) {  // the widths the templates use
    case 1: return FormatFieldsOf<1>(values, out);
    case 2: return FormatFieldsOf<2>(values, out);
    case 3: return FormatFieldsOf<3>(values, out);
    case 6: return FormatFieldsOf<6>(values, out);
    default:
      for (const std::int32_t value : values) out = FormatField(value, width, out);
      return out;
  }
}

}  // namespace

char* LayOutAny(std::span<const TemplateItem> items, std::span<const std::int32_t> values,
                char* out) {
  std::size_t next = 0;
  for (;;) {
    const std::size_t taken = next;
    for (const TemplateItem& item : items) {
      switch (item.type) {
        case TemplateItem::Type::kText: out = CopySmall(item.text, out); break;
        case TemplateItem::Type::kLineEnd: *out++ = '\n'; break;
        case TemplateItem::Type::kField: {
          const std::size_t fields = std::min<std::size_t>(item.repeat, values.size() - next);
          out = FormatFields(values.subspan(next, fields), item.width, out);
          next += fields;
          if (fields < item.repeat) {  // no value left for the next field: stop here
            *out++ = '\n';
            return out;
          }
          break;
        }
      }
    }
    *out++ = '\n';
    // A template without fields is applied once, whatever it is given.
    if (next == values.size() || next == taken) return out;
  }
}

}  // namespace layout

namespace {

using LayOutFunction = char* (*)(std::span<const std::int32_t>, char*);

template <std::size_t... K>
constexpr std::array<LayOutFunction, kLineKindCount> LayOutTable(std::index_sequence<K...>) {
  return {&layout::LayOutOf<static_cast<LineKind>(K)>...};
}

constexpr std::array<LayOutFunction, kLineKindCount> kLayOuts =
    LayOutTable(std::make_index_sequence<kLineKindCount>());

}  // namespace

char* LayOut(LineKind kind, std::span<const std::int32_t> values, char* out) {
  assert(values.size() <= kMaxWriteValues);
  return kLayOuts[static_cast<std::size_t>(kind)](values, out);
}

std::string_view TextOf(LineKind kind) {
  for (const TemplateItem& item : TemplateOf(kind)) {
    if (item.type == TemplateItem::Type::kText) return item.text;
  }
  return {};
}

}  // namespace tarvik
