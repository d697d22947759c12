// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string_view>

#include "system/exit_status.h"
#include "system/host.h"

namespace tarvik::cli {

// The whole program behind main(): reads the arguments (without the program name), runs what they
// ask for on the host's files and streams, and returns the exit status. An allocation that fails
// anywhere ends it with "tarvik: out of memory" and kOsError.
ExitStatus Main(std::span<const std::string_view> args, Host& host);

// The texts of --help and --version.
std::string_view UsageText();
std::string_view VersionText();

}  // namespace tarvik::cli
