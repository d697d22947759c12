# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<checkout> -DWORK_DIR=<folder in the build tree> -DGIT=<git>
#       -P build_version_test.cmake
#
# Tests cmake/build_version.cmake on a scratch repository: the version it names for a commit at
# its release tag (lightweight or annotated), for commits that are not the release (untagged,
# tagged with another version, after the tag), and for source trees that are no checkout of
# their own; and that a second run on the same commit leaves the header untouched.

foreach(var SOURCE_DIR WORK_DIR GIT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_version_test.cmake: ${var} is not set")
  endif()
endforeach()

set(repo "${WORK_DIR}/repo")
set(plain "${WORK_DIR}/plain")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${repo}/sub" "${plain}")
file(WRITE "${WORK_DIR}/version.h.in" "#define V \"@TARVIK_BUILD_VERSION@\"\n")

function(git)
  execute_process(
    COMMAND "${GIT}" -C "${repo}" -c user.name=t -c user.email=t@example.org -c tag.gpgSign=false
            -c commit.gpgSign=false ${ARGN}
    RESULT_VARIABLE result
    OUTPUT_QUIET
    ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "git ${ARGN}: ${error}")
  endif()
endfunction()

function(head var)
  execute_process(COMMAND "${GIT}" -C "${repo}" rev-parse HEAD OUTPUT_VARIABLE commit
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(SUBSTRING "${commit}" 0 12 short)
  set(${var} "${short}" PARENT_SCOPE)
endfunction()

# Runs the script on the source tree DIR for version 1.2.0; sets VAR to the version written.
function(named var dir)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${dir}" -DVERSION=1.2.0 "-DGIT=${GIT}"
            "-DINPUT=${WORK_DIR}/version.h.in" "-DOUTPUT=${WORK_DIR}/version.h"
            "-DTEXT_OUTPUT=${WORK_DIR}/version.txt"
            -P "${SOURCE_DIR}/cmake/build_version.cmake"
    RESULT_VARIABLE result
    ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "build_version.cmake failed: ${error}")
  endif()
  file(READ "${WORK_DIR}/version.txt" text)
  file(READ "${WORK_DIR}/version.h" header)
  string(STRIP "${text}" text)
  if(NOT header STREQUAL "#define V \"${text}\"\n")
    message(SEND_ERROR "the header does not hold the version ${text}: ${header}")
  endif()
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

git(init --quiet)
git(commit --quiet --allow-empty -m one)
head(first)
git(tag v1.1.0)
named(untaggedFirst "${repo}")
git(tag v1.2.0)
named(atTag "${repo}")
git(commit --quiet --allow-empty -m two)
head(second)
named(afterTag "${repo}")
git(tag -a -m release v1.2.0-annotated)
git(tag -d v1.2.0)
git(tag -a -m release v1.2.0)
named(atAnnotatedTag "${repo}")
named(subfolder "${repo}/sub")
named(notCheckout "${plain}")

# Each case: its name, the version named, the version expected.
set(cases
  "tagged with another version|${untaggedFirst}|1.2.0+g${first}"
  "at the release tag|${atTag}|1.2.0"
  "one commit after the release tag|${afterTag}|1.2.0+g${second}"
  "at an annotated release tag|${atAnnotatedTag}|1.2.0"
  "a folder inside some checkout|${subfolder}|1.2.0"
  "a source tree without git|${notCheckout}|1.2.0")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 actual)
  list(GET fields 2 expected)
  if(NOT actual STREQUAL expected)
    message(SEND_ERROR "${name}: expected ${expected}, got ${actual}")
  endif()
endforeach()

# A second run on the same commit leaves the files as they are, so nothing is rebuilt.
foreach(file version.h version.txt)
  execute_process(COMMAND touch -d "2001-02-03 04:05:06" "${WORK_DIR}/${file}")
endforeach()
named(again "${plain}")
foreach(file version.h version.txt)
  file(TIMESTAMP "${WORK_DIR}/${file}" stamp "%Y-%m-%d" UTC)
  if(NOT stamp STREQUAL "2001-02-03")
    message(SEND_ERROR "a run with the same version rewrote ${file}")
  endif()
endforeach()
