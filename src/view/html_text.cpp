// SPDX-License-Identifier: MIT
#include "view/html_text.h"

#include <cstdint>

namespace tarvik::view {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";     // U+2026

// The length of the well-formed UTF-8 character at the start of `text` and its code point, or
// 0 if there is none (overlong forms, surrogates and values above U+10FFFF are not well formed).
std::size_t DecodeOne(std::string_view text, char32_t& codePoint) {
  const auto byte = [text](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
    min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
    min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
    min = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0u) != 0x80u) return 0;
    codePoint = (codePoint << 6) | (byte(k) & 0x3Fu);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return 0;
  }
  return length;
}

// Characters that a page may not hold even as references: controls other than tab, line feed,
// form feed and carriage return, and the noncharacters.
bool Forbidden(char32_t c) {
  if (c < 0x20) return c != '\t' && c != '\n' && c != '\f' && c != '\r';
  if (c >= 0x7F && c <= 0x9F) return true;
  if (c >= 0xFDD0 && c <= 0xFDEF) return true;
  return (c & 0xFFFEu) == 0xFFFEu;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
}

void AppendOutsideText(std::string& out, std::string_view text, std::size_t maxCharacters) {
  std::size_t shown = 0;
  while (!text.empty()) {
    if (shown == maxCharacters) {
      out += kEllipsis;
      return;
    }
    char32_t c = 0;
    const std::size_t length = DecodeOne(text, c);
    if (length == 0 || Forbidden(c)) {
      out += kReplacement;
    } else if (c == '\t' || c == '\n' || c == '\f' || c == '\r') {
      out += ' ';
    } else {
      AppendEscaped(out, text.substr(0, length));
    }
    text.remove_prefix(length == 0 ? 1 : length);
    ++shown;
  }
}

}  // namespace tarvik::view
