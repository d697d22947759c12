# SPDX-License-Identifier: MIT
# Run by CPack before it builds a package (CPACK_PRE_BUILD_SCRIPTS): a package is made only when
# the manual page and the changelog name the version being packaged (see RELEASING.md); for a
# commit that is not a release (X.Y.Z+g<commit>), X.Y.Z.

include("${CMAKE_CURRENT_LIST_DIR}/version_named.cmake")
string(REGEX REPLACE "[+]g[0-9a-f]+$" "" version "${CPACK_PACKAGE_VERSION}")
tarvik_check_version_named("${version}" "${CPACK_TARVIK_MANUAL}"
  "${CPACK_TARVIK_CHANGELOG_MD}" FATAL_ERROR DATED)
