# SPDX-License-Identifier: MIT
# Whether the manual page's .TH line and CHANGELOG.md's newest release name VERSION; says so
# with message(MODE ...) when one does not. With DATED, the release must also carry its date.
# Used at configure time (a warning) and before a package is built (an error).
function(tarvik_check_version_named version manual changelog mode)
  file(STRINGS "${manual}" title REGEX "^\\.TH ")
  if(NOT title MATCHES "\"tarvik ${version}\"")
    message(${mode} "doc/tarvik.1 does not name version ${version} in its .TH line: ${title}")
  endif()
  file(STRINGS "${changelog}" releases REGEX "^## \\[?[0-9]")
  list(GET releases 0 newest)
  string(REPLACE "." "\\." pattern "${version}")
  set(tail " ")
  set(what "")
  list(FIND ARGN DATED dated)  # not IN_LIST: CPack runs this without the policies that allow it
  if(dated GREATER -1)
    set(tail " - [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
    set(what " with its date")
  endif()
  if(NOT newest MATCHES "^## \\[?${pattern}\\]?${tail}")
    message(${mode} "CHANGELOG.md's newest release is not ${version}${what}: ${newest}")
  endif()
endfunction()
