// SPDX-License-Identifier: MIT
#include "control/quoting.h"

namespace tarvik {

std::string Quoted(std::string_view bytes, bool cut) {
  static constexpr char kHex[] = "0123456789abcdef";
  if (bytes.size() > kQuotedBytes) {
    bytes = bytes.substr(0, kQuotedBytes);
    cut = true;
  }
  std::string out = "\"";
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += ch;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  out += cut ? "...\"" : "\"";
  return out;
}

}  // namespace tarvik
