# SPDX-License-Identifier: MIT
# cmake -DINPUT=CHANGELOG.md -DOUTPUT=changelog -DPACKAGE=tarvik -DMAINTAINER="name <address>"
#       -P debian_changelog.cmake
#
# Turns the Keep a Changelog file into the Debian changelog format that dpkg and lintian read:
#
#   ## [1.1.0] - 2026-12-07            tarvik (1.1.0) unstable; urgency=medium
#   ### Added                     ->
#   - Batch mode, ...                    * Added:
#     continued                            - Batch mode, ... continued
#
#                                      -- MAINTAINER  Mon, 07 Dec 2026 00:00:00 +0000
#
# The output depends on the input alone (each entry's time is midnight UTC of its date), so the
# same CHANGELOG.md always gives the same bytes. The Unreleased section is left out. Lines are
# wrapped at 78 columns and Markdown's backticks and link targets dropped. Any line of a release
# section that is none of a heading, an entry, an entry's continuation or an empty line is an
# error, so the file cannot drift into a form this script would read wrongly.

foreach(var INPUT OUTPUT PACKAGE MAINTAINER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "debian_changelog.cmake: ${var} is not set")
  endif()
endforeach()

set(kWidth 78)

# CMake lists split at semicolons, keep bracketed text together and take a backslash as an escape:
# stand-ins keep the text's own semicolons, brackets and backslashes out of the list handling
# until the output is written.
string(ASCII 1 kSemicolon)
string(ASCII 2 kOpenBracket)
string(ASCII 3 kCloseBracket)
string(ASCII 4 kBackslash)

file(READ "${INPUT}" text)
string(REPLACE "\\" "${kBackslash}" text "${text}")
string(REPLACE ";" "${kSemicolon}" text "${text}")
string(REPLACE "[" "${kOpenBracket}" text "${text}")
string(REPLACE "]" "${kCloseBracket}" text "${text}")
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

# Appends TEXT to the output variable VAR, wrapped at kWidth columns: the first line starts with
# FIRST, the others with the same number of blanks.
function(append_wrapped var first text)
  string(LENGTH "${first}" indentWidth)
  string(REPEAT " " ${indentWidth} indent)
  string(REGEX REPLACE "  +" " " text "${text}")
  string(REPLACE " " ";" words "${text}")
  set(out "${${var}}")
  set(line "${first}")
  set(lineHasWord FALSE)
  foreach(word IN LISTS words)
    if(lineHasWord)
      string(LENGTH "${line} ${word}" length)
      if(length GREATER kWidth)
        string(APPEND out "${line}\n")
        set(line "${indent}${word}")
      else()
        string(APPEND line " ${word}")
      endif()
    else()
      string(APPEND line "${word}")
      set(lineHasWord TRUE)
    endif()
  endforeach()
  string(APPEND out "${line}\n")
  set(${var} "${out}" PARENT_SCOPE)
endfunction()

# Markdown that a plain-text changelog does not want: code spans and link targets.
function(plain_text var text)
  string(REPLACE "`" "" text "${text}")
  string(REGEX REPLACE "${kOpenBracket}([^${kCloseBracket}]*)${kCloseBracket}\\([^)]*\\)" "\\1"
         text "${text}")
  string(STRIP "${text}" text)
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

# RFC 5322 date of midnight UTC on YEAR-MONTH-DAY, with its day of the week.
function(debian_date var year month day)
  math(EXPR y "${year}")
  math(EXPR m "${month}")
  math(EXPR d "${day}")
  if(m LESS 1 OR m GREATER 12 OR d LESS 1 OR d GREATER 31)
    message(FATAL_ERROR "${INPUT}: not a date: ${year}-${month}-${day}")
  endif()
  # Sakamoto's rule for the day of the week, 0 for Sunday.
  set(monthOffsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR mi "${m} - 1")
  list(GET monthOffsets ${mi} offset)
  if(m LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
  set(dayNames Sun Mon Tue Wed Thu Fri Sat)
  set(monthNames Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET dayNames ${weekday} dayName)
  list(GET monthNames ${mi} monthName)
  set(${var} "${dayName}, ${day} ${monthName} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

set(out "")
set(version "")        # the release being read; empty before the first and in Unreleased
set(skipping TRUE)     # before the first release heading, and in Unreleased
set(body "")
set(item "")
set(lineNumber 0)

macro(flush_item)
  if(NOT item STREQUAL "")
    plain_text(item "${item}")
    append_wrapped(body "    - " "${item}")
    set(item "")
  endif()
endmacro()

macro(flush_release)
  flush_item()
  if(NOT version STREQUAL "")
    if(body STREQUAL "")
      message(FATAL_ERROR "${INPUT}: release ${version} has no entries")
    endif()
    if(NOT out STREQUAL "")
      string(APPEND out "\n")
    endif()
    string(APPEND out "${PACKAGE} (${version}) unstable; urgency=medium\n\n${body}\n")
    string(APPEND out " -- ${MAINTAINER}  ${date}\n")
  endif()
  set(version "")
  set(body "")
endmacro()

set(versionPattern "^## ${kOpenBracket}?([0-9]+\\.[0-9]+\\.[0-9]+)${kCloseBracket}?")
string(APPEND versionPattern " - ([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
foreach(line IN LISTS lines)
  math(EXPR lineNumber "${lineNumber} + 1")
  if(line MATCHES "^## ")
    flush_release()
    if(line MATCHES "${versionPattern}")
      set(version "${CMAKE_MATCH_1}")
      debian_date(date "${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}" "${CMAKE_MATCH_4}")
      set(skipping FALSE)
    elseif(line MATCHES "^## ${kOpenBracket}?Unreleased${kCloseBracket}?$")
      set(skipping TRUE)
    else()
      message(FATAL_ERROR "${INPUT}:${lineNumber}: expected \"## [X.Y.Z] - YYYY-MM-DD\"")
    endif()
  elseif(skipping)
    # The title, the introduction and the Unreleased section are not part of any release.
  elseif(line MATCHES "^### (.+)$")
    flush_item()
    plain_text(kind "${CMAKE_MATCH_1}")
    if(NOT body STREQUAL "")
      string(APPEND body "\n")
    endif()
    string(APPEND body "  * ${kind}:\n")
  elseif(line MATCHES "^- (.+)$")
    flush_item()
    if(body STREQUAL "")
      message(FATAL_ERROR "${INPUT}:${lineNumber}: an entry before the first \"### \" heading")
    endif()
    set(item "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^  +([^ ].*)$" AND NOT item STREQUAL "")
    string(APPEND item " ${CMAKE_MATCH_1}")
  elseif(line MATCHES "^[ \t]*$")
    flush_item()
  else()
    message(FATAL_ERROR "${INPUT}:${lineNumber}: not a heading, an entry or its continuation")
  endif()
endforeach()
flush_release()

if(out STREQUAL "")
  message(FATAL_ERROR "${INPUT}: no release found")
endif()
string(REPLACE "${kSemicolon}" ";" out "${out}")
string(REPLACE "${kOpenBracket}" "[" out "${out}")
string(REPLACE "${kCloseBracket}" "]" out "${out}")
string(REPLACE "${kBackslash}" "\\" out "${out}")
file(WRITE "${OUTPUT}" "${out}")
