#include "report/layout.h"

#include <cassert>
#include <cstring>

namespace tarvik {
namespace {

// Writes `value` right-justified in `width` characters, or `width` asterisks if it needs more.
char* FormatField(std::int32_t value, int width, char* out) {
  if (value >= 0 && value <= 9) {  // the common case: one digit
    std::memset(out, ' ', static_cast<std::size_t>(width - 1));
    out[width - 1] = static_cast<char>('0' + value);
    return out + width;
  }
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
        case TemplateItem::Type::Field:
          for (int r = 0; r < item.repeat; ++r) {
            if (next == values.size()) {
              *out++ = '\n';
              return out;
            }
            out = FormatField(values[next++], item.width, out);
          }
          break;
      }
    }
    *out++ = '\n';
    // A template without fields is applied once, whatever it is given.
    if (next == values.size() || next == taken) return out;
  }
}

}  // namespace tarvik
