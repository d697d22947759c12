#include "report/layout.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <utility>

namespace tarvik {
namespace {

// Writes `value` right-justified in `width` characters, or `width` asterisks if it needs more.
// Kept out of line: it is the rare case, and the loops below stay lean without it.
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

// The layout rules in full: stop at the first field without a value; apply the template again
// while values remain.
char* LayOutAny(std::span<const TemplateItem> items, std::span<const std::int32_t> values,
                char* out) {
  std::size_t next = 0;
  for (;;) {
    const std::size_t taken = next;
    for (const TemplateItem& item : items) {
      switch (item.type) {
        case TemplateItem::Type::Text:
          out = CopySmall(item.text, out);
          break;
        case TemplateItem::Type::LineEnd:
          *out++ = '\n';
          break;
        case TemplateItem::Type::Field: {
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

// Item I of the template of K, for a write that has a value for every field.
template <LineKind K, std::size_t I>
char* LayOutItem(std::span<const std::int32_t> values, std::size_t& next, char* out) {
  constexpr TemplateItem item = TemplateOf(K)[I];
  if constexpr (item.type == TemplateItem::Type::Text) {
    return CopySmall(item.text, out);
  } else if constexpr (item.type == TemplateItem::Type::LineEnd) {
    *out = '\n';
    return out + 1;
  } else {
    out = FormatFieldsOf<item.width>(values.subspan(next, item.repeat), out);
    next += item.repeat;
    return out;
  }
}

// The layout routine built for line kind K. Nearly every write gives exactly one value per field:
// then the template is applied once, item by item, with every text, width and count known here.
template <LineKind K>
char* LayOutOf(std::span<const std::int32_t> values, char* out) {
  constexpr std::span<const TemplateItem> items = TemplateOf(K);
  if (values.size() != static_cast<std::size_t>(FieldCount(K))) {
    return LayOutAny(items, values, out);
  }
  std::size_t next = 0;
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((out = LayOutItem<K, I>(values, next, out)), ...);
  }(std::make_index_sequence<items.size()>());
  *out = '\n';
  return out + 1;
}

using LayOutFunction = char* (*)(std::span<const std::int32_t>, char*);

template <std::size_t... K>
constexpr std::array<LayOutFunction, kLineKindCount> LayOutTable(std::index_sequence<K...>) {
  return {&LayOutOf<static_cast<LineKind>(K)>...};
}

constexpr std::array<LayOutFunction, kLineKindCount> kLayOuts =
    LayOutTable(std::make_index_sequence<kLineKindCount>());

}  // namespace

char* LayOut(LineKind kind, std::span<const std::int32_t> values, char* out) {
  assert(values.size() <= kMaxWriteValues);
  return kLayOuts[static_cast<std::size_t>(kind)](values, out);
}

}  // namespace tarvik
