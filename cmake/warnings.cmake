# SPDX-License-Identifier: MIT
# The one list of warning flags, linked privately by every target of the project (and of the
# stand-alone fuzz build). Warnings become errors in the CI presets, not here.
if(NOT TARGET tarvik_warnings)
  add_library(tarvik_warnings INTERFACE)
  target_compile_options(tarvik_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
endif()
