# SPDX-License-Identifier: MIT
# Run by CPack before it builds a package (CPACK_PRE_BUILD_SCRIPTS): a package is made only when
# the manual page and the changelog name the version being packaged (see RELEASING.md).

include("${CMAKE_CURRENT_LIST_DIR}/version_named.cmake")
tarvik_check_version_named("${CPACK_PACKAGE_VERSION}" "${CPACK_TARVIK_MANUAL}"
  "${CPACK_TARVIK_CHANGELOG_MD}" FATAL_ERROR DATED)
