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

}  // namespace tarvik
