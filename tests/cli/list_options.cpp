// SPDX-License-Identifier: MIT
// Prints the option table for options_test.sh, one option a line, its fields separated by tabs:
// the long form, the short form, the value's name, the modes ("classic batch", "classic" or
// "batch") and whether --help gives it a line of its own ("line" or "none"); "-" for none.
#include <iostream>
#include <string>

#include "cli/options.h"

int main() {
  using tarvik::cli::Scope;
  for (const tarvik::cli::Option& option : tarvik::cli::Options()) {
    const std::string shortForm = option.letter != 0 ? std::string{'-', option.letter} : "-";
    const char* modes = option.scope == Scope::kAny       ? "classic batch"
                        : option.scope == Scope::kClassic ? "classic"
                                                          : "batch";
    std::cout << (option.name.empty() ? "-" : option.name) << '\t' << shortForm << '\t'
              << (option.TakesValue() ? option.value : "-") << '\t' << modes << '\t'
              << (option.help.empty() ? "none" : "line") << '\n';
  }
  return std::cout.flush() ? 0 : 1;
}
