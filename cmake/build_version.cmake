# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<source tree> -DVERSION=X.Y.Z [-DGIT=<git>] -DINPUT=version.h.in
#       -DOUTPUT=version.h -DTEXT_OUTPUT=version.txt -P build_version.cmake
#
# Names the build: X.Y.Z for a release, X.Y.Z+g<12 hex digits of the commit> for any other build
# from a git checkout (see RELEASING.md). A build is a release when the tag vX.Y.Z points at the
# commit checked out; a source tree that is not a checkout of its own gets X.Y.Z. Run at every
# build, so the commit is never stale; OUTPUT (the header, from INPUT's @TARVIK_BUILD_VERSION@)
# and TEXT_OUTPUT (the version alone, for CPack) are rewritten only when their text changes, so
# nothing is rebuilt after a build on the same commit.

foreach(var SOURCE_DIR VERSION INPUT OUTPUT TEXT_OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_version.cmake: ${var} is not set")
  endif()
endforeach()

set(TARVIK_BUILD_VERSION "${VERSION}")
# .git is a folder in a clone and a file in a worktree; a source tree unpacked inside some other
# checkout has neither, and must not take that checkout's commit.
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(
    COMMAND "${GIT}" -C "${SOURCE_DIR}" rev-parse --verify --quiet "HEAD^{commit}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE commit
    ERROR_QUIET
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(result EQUAL 0 AND commit MATCHES "^[0-9a-f]+$")
    execute_process(
      COMMAND "${GIT}" -C "${SOURCE_DIR}" tag --points-at HEAD --list "v${VERSION}"
      OUTPUT_VARIABLE tag
      ERROR_QUIET
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT tag STREQUAL "v${VERSION}")
      # A fixed length rather than git's shortest unique prefix, which grows with the repository:
      # every clone of the same commit names it alike, and the package stays reproducible.
      string(SUBSTRING "${commit}" 0 12 short)
      string(APPEND TARVIK_BUILD_VERSION "+g${short}")
    endif()
  endif()
endif()

# configure_file leaves a file whose text is unchanged untouched, time stamp included.
configure_file("${INPUT}" "${OUTPUT}" @ONLY)
set(text "${TARVIK_BUILD_VERSION}\n")
set(old "")
if(EXISTS "${TEXT_OUTPUT}")
  file(READ "${TEXT_OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${TEXT_OUTPUT}" "${text}")
endif()
