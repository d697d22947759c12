// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik::view {

// Appends `text` with &, <, >, " and ' written as character references.
void AppendEscaped(std::string& out, std::string_view text);

// Appends outside text (a file name, say) safe for any place in a page: at most `maxCharacters`
// characters, then "…"; every byte that does not start a well-formed UTF-8 character, every
// control character and every noncharacter shown as U+FFFD; escaped as AppendEscaped does.
void AppendOutsideText(std::string& out, std::string_view text, std::size_t maxCharacters);

}  // namespace tarvik::view
