// SPDX-License-Identifier: MIT
#include "system/quoting.h"

namespace tarvik {

namespace {

// Appends `bytes`, each byte that is not printable ASCII, and each of `special`, as \xNN.
void AppendEscaped(std::string& out, std::string_view bytes, std::string_view special) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && special.find(ch) == std::string_view::npos) {
      out += ch;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
}

}  // namespace

std::string Quoted(std::string_view bytes, bool cut) {
  if (bytes.size() > kQuotedBytes) {
    bytes = bytes.substr(0, kQuotedBytes);
    cut = true;
  }
  std::string out = "\"";
  AppendEscaped(out, bytes, "\"\\");
  out += cut ? "...\"" : "\"";
  return out;
}

std::string Named(std::string_view name) {
  std::string out;
  AppendEscaped(out, name.substr(0, kNamedBytes), "\\");
  if (name.size() > kNamedBytes) out += "...";
  return out;
}

}  // namespace tarvik
