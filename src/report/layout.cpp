#include "report/layout.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace tarvik {
namespace {

constexpr std::array<char, 8> kBlanks = [] {
  std::array<char, 8> blanks{};
  blanks.fill(' ');
  return blanks;
}();

// Writes `value` right-justified in `width` characters, or `width` asterisks if it needs more.
char* FormatField(std::int32_t value, int width, char* out) {
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

// Writes each value in a field of width W. One-digit values, by far the most common, take a
// short path: W - 1 blanks and the digit.
template <int W>
char* FormatFieldsOf(std::span<const std::int32_t> values, char* out) {
  for (const std::int32_t value : values) {
    if (static_cast<std::uint32_t>(value) <= 9u) {
      std::memcpy(out, kBlanks.data(), W - 1);
      out[W - 1] = static_cast<char>('0' + value);
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

}  // namespace

char* LayOut(LineKind kind, std::span<const std::int32_t> values, char* out) {
  assert(values.size() <= kMaxWriteValues);
  const std::span<const TemplateItem> items = TemplateOf(kind);
  std::size_t next = 0;
  for (;;) {
    const std::size_t taken = next;
    for (const TemplateItem& item : items) {
      switch (item.type) {
        case TemplateItem::Type::Text:
          std::memcpy(out, item.text.data(), item.text.size());
          out += item.text.size();
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

}  // namespace tarvik
