# SPDX-License-Identifier: MIT
# Run by CPack before it builds a package (CPACK_PRE_BUILD_SCRIPTS): a package is made only when
# the manual page and the changelog name the version being packaged (see RELEASING.md).

file(STRINGS "${CPACK_TARVIK_MANUAL}" title REGEX "^\\.TH ")
if(NOT title MATCHES "\"tarvik ${CPACK_PACKAGE_VERSION}\"")
  message(FATAL_ERROR
    "doc/tarvik.1 does not name version ${CPACK_PACKAGE_VERSION} in its .TH line: ${title}")
endif()

file(STRINGS "${CPACK_TARVIK_CHANGELOG_MD}" releases REGEX "^## \\[?[0-9]")
list(GET releases 0 newest)
string(REPLACE "." "\\." version "${CPACK_PACKAGE_VERSION}")
if(NOT newest MATCHES "^## \\[?${version}\\]? - [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
  message(FATAL_ERROR
    "CHANGELOG.md's newest release is not ${CPACK_PACKAGE_VERSION} with its date: ${newest}")
endif()
