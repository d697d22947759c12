// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik {

// How much of a token or an argument a message quotes.
inline constexpr std::size_t kQuotedBytes = 20;

// `bytes` as a message shows them: in double quotes, at most kQuotedBytes of them followed by
// "..." when there are more (or when `cut` says the caller already dropped some), and every byte
// that is not printable ASCII, and `"` and `\`, written as \xNN. The result is one line of bounded
// length, whatever the bytes are.
std::string Quoted(std::string_view bytes, bool cut = false);

// How much of a file or folder name a message shows.
inline constexpr std::size_t kNamedBytes = 200;

// A file or folder name as a message shows it: unquoted, so that "tarvik: big.txt:7:" keeps its
// form, with every byte that is not printable ASCII, and `\`, written as \xNN, and cut after
// kNamedBytes bytes with "...".
std::string Named(std::string_view name);

}  // namespace tarvik
