# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<checkout> -DWORK_DIR=<folder in the build tree> -P debian_changelog_test.cmake
#
# Tests cmake/debian_changelog.cmake: a Keep a Changelog file with the awkward cases (text that
# CMake's lists would split or escape, links, code spans, wrapped entries, dates across leap
# years and month ends, an Unreleased section) against its Debian changelog worked out by hand,
# and files the converter must refuse.

foreach(var SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "debian_changelog_test.cmake: ${var} is not set")
  endif()
endforeach()

set(converter "${SOURCE_DIR}/cmake/debian_changelog.cmake")
set(cases "${SOURCE_DIR}/tests/doc/changelog")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# Runs the converter on INPUT into OUTPUT; sets RESULT_VAR to its exit status and ERROR_VAR to
# what it printed.
function(convert input output result_var error_var)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DINPUT=${input}" "-DOUTPUT=${output}" -DPACKAGE=tarvik
            "-DMAINTAINER=tarvik developers <>" -P "${converter}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
  set(${result_var} "${result}" PARENT_SCOPE)
  set(${error_var} "${out}${err}" PARENT_SCOPE)
endfunction()

set(failures 0)

# The whole conversion, byte for byte.
convert("${cases}/keep_a_changelog.md" "${WORK_DIR}/changelog" result error)
if(NOT result EQUAL 0)
  message(SEND_ERROR "the converter failed on keep_a_changelog.md:\n${error}")
  math(EXPR failures "${failures} + 1")
else()
  file(READ "${WORK_DIR}/changelog" actual)
  file(READ "${cases}/debian.changelog" expected)
  if(NOT actual STREQUAL expected)
    message(SEND_ERROR "keep_a_changelog.md: expected\n${expected}\nbut got\n${actual}")
    math(EXPR failures "${failures} + 1")
  endif()
endif()

# Files the converter must refuse, each with what its message must name.
set(kHead "# Changelog\n\n## [1.0.0] - 2026-11-30\n\n")
set(refused
  "stray paragraph|${kHead}### Added\n\n- An entry.\n\nA paragraph inside a release.\n|:9:"
  "entry before a heading|${kHead}- An entry before any heading.\n|:5:"
  "release without a date|# Changelog\n\n## [1.0.0]\n\n### Added\n\n- An entry.\n|:3:"
  "month 13|# Changelog\n\n## [1.0.0] - 2026-13-01\n\n### Added\n\n- An entry.\n|not a date"
  "release without entries|${kHead}## [0.9.0] - 2026-11-01\n\n### Added\n\n- An entry.\n|1.0.0"
  "no release at all|# Changelog\n\n## [Unreleased]\n\n### Added\n\n- An entry.\n|no release")
set(index 0)
foreach(case IN LISTS refused)
  math(EXPR index "${index} + 1")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 text)
  list(GET parts 2 expectedMessage)
  file(WRITE "${WORK_DIR}/refused-${index}.md" "${text}")
  convert("${WORK_DIR}/refused-${index}.md" "${WORK_DIR}/refused-${index}" result error)
  # CMake wraps a message where the path in it makes a line long: read it as one line.
  string(REGEX REPLACE "[ \n]+" " " error "${error}")
  if(result EQUAL 0)
    message(SEND_ERROR "${name}: converted, expected a refusal")
    math(EXPR failures "${failures} + 1")
  elseif(NOT error MATCHES "${expectedMessage}")
    message(SEND_ERROR "${name}: the message does not name \"${expectedMessage}\":\n${error}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
message(STATUS "debian_changelog: all cases passed")
