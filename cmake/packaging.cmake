# SPDX-License-Identifier: MIT
# Documentation files, their install rules and the Debian package. Included at the end of the
# top-level CMakeLists.txt, after GNUInstallDirs and the install rule of the program.
#
#   cmake --workflow --preset package        the Release program and build/package/*.deb
#   packaging/lint_package.sh                lintian on that package
#   packaging/check_reproducible.sh          two builds from fresh clones, compared

# The team has no mail address: the package and its changelog name the team alone, and
# packaging/lintian-overrides answers the tags that raises.
set(TARVIK_MAINTAINER "tarvik developers")
set(TARVIK_CHANGELOG_MAINTAINER "tarvik developers <>")

set(TARVIK_MANUAL "${PROJECT_SOURCE_DIR}/doc/tarvik.1")
set(TARVIK_CHANGELOG_MD "${PROJECT_SOURCE_DIR}/CHANGELOG.md")
set(TARVIK_DOC_BUILD_DIR "${PROJECT_BINARY_DIR}/doc")
file(MAKE_DIRECTORY "${TARVIK_DOC_BUILD_DIR}")

# The manual's title line and the changelog's newest release name the version; say so at
# configure time when one falls behind the project's. Packaging refuses it (release_checks.cmake).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${TARVIK_MANUAL}" "${TARVIK_CHANGELOG_MD}")
include("${CMAKE_CURRENT_LIST_DIR}/version_named.cmake")
tarvik_check_version_named("${PROJECT_VERSION}" "${TARVIK_MANUAL}" "${TARVIK_CHANGELOG_MD}"
  AUTHOR_WARNING)

# Debian wants the manual page and the changelog compressed with gzip -9n (no name, no time
# stamp), and the changelog in its own format, which dpkg and lintian parse: both are made at
# build time, and depend on their sources alone, so the package stays reproducible.
find_program(TARVIK_GZIP gzip REQUIRED)
mark_as_advanced(TARVIK_GZIP)
set(TARVIK_MANUAL_GZ "${TARVIK_DOC_BUILD_DIR}/tarvik.1.gz")
set(TARVIK_CHANGELOG_DEBIAN "${TARVIK_DOC_BUILD_DIR}/changelog")
set(TARVIK_CHANGELOG_GZ "${TARVIK_DOC_BUILD_DIR}/changelog.gz")
add_custom_command(
  OUTPUT "${TARVIK_MANUAL_GZ}"
  COMMAND "${CMAKE_COMMAND}" "-DGZIP=${TARVIK_GZIP}" "-DINPUT=${TARVIK_MANUAL}"
          "-DOUTPUT=${TARVIK_MANUAL_GZ}" -P "${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake"
  DEPENDS "${TARVIK_MANUAL}" "${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake"
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_command(
  OUTPUT "${TARVIK_CHANGELOG_GZ}"
  COMMAND "${CMAKE_COMMAND}" "-DINPUT=${TARVIK_CHANGELOG_MD}" "-DOUTPUT=${TARVIK_CHANGELOG_DEBIAN}"
          "-DPACKAGE=${PROJECT_NAME}" "-DMAINTAINER=${TARVIK_CHANGELOG_MAINTAINER}"
          -P "${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake"
  COMMAND "${CMAKE_COMMAND}" "-DGZIP=${TARVIK_GZIP}" "-DINPUT=${TARVIK_CHANGELOG_DEBIAN}"
          "-DOUTPUT=${TARVIK_CHANGELOG_GZ}" -P "${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake"
  BYPRODUCTS "${TARVIK_CHANGELOG_DEBIAN}"
  DEPENDS "${TARVIK_CHANGELOG_MD}" "${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake"
          "${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake"
  COMMENT "Making the Debian changelog from CHANGELOG.md"
  VERBATIM)
add_custom_target(tarvik_docs ALL DEPENDS "${TARVIK_MANUAL_GZ}" "${TARVIK_CHANGELOG_GZ}")

# TYPE MAN would land in share/man itself: the section folder has to be named.
install(FILES "${TARVIK_MANUAL_GZ}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES
  "${PROJECT_SOURCE_DIR}/packaging/debian/copyright"
  "${TARVIK_CHANGELOG_GZ}"
  "${PROJECT_SOURCE_DIR}/README.md"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# The page that runs the program in a browser, built by the wasm preset and kept current in the
# tree (RELEASING.md), so that the package needs no emscripten.
install(FILES "${PROJECT_SOURCE_DIR}/doc/tarvik.html" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# The example puzzle definition, which a missing Sudin.txt points to (src/CMakeLists.txt), and a
# sample collection for the batch mode.
install(FILES "${PROJECT_SOURCE_DIR}/examples/Sudin.txt" "${PROJECT_SOURCE_DIR}/examples/puzzles.txt"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}/examples")
# Where bash-completion loads a command's completion from when the command is first completed.
install(FILES "${PROJECT_SOURCE_DIR}/packaging/bash-completion/tarvik"
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides"
  RENAME "${PROJECT_NAME}")

# cpack -G DEB in the build tree (or the package preset) makes tarvik_VERSION_ARCH.deb, VERSION
# being the one the build named (X.Y.Z, or X.Y.Z+g<commit> for a commit that is not a release),
# read when CPack runs (package_version.cmake).
set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_TARVIK_VERSION_FILE "${TARVIK_VERSION_FILE}")
set(CPACK_TARVIK_BINARY_DIR "${PROJECT_BINARY_DIR}")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package_version.cmake")
set(CPACK_PACKAGE_VENDOR "${TARVIK_MAINTAINER}")
set(CPACK_PACKAGE_CONTACT "${TARVIK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The package's long description: lines of at most 80 characters, no empty line.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "tarvik solves 9x9 Sudoku puzzles and reports, line by line, how it got\n"
  "there. A classic run reads the puzzle, its run parameters and a search\n"
  "sequence from Sudin.txt in the working directory, works the puzzle with four\n"
  "simple deduction techniques and with guesses, and writes the report to\n"
  "standard output and to Sudout.txt; it can also draw the run as one\n"
  "self-contained HTML page. The batch mode solves whole collections, one\n"
  "puzzle per line, on several threads, with one tab-separated row per puzzle\n"
  "and, on request, a report or a page for each.")
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${PROJECT_NAME}")
# The package installs under the configured prefix (/usr in the package preset), the one the
# program names in its message about a missing Sudin.txt.
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVIK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# What is left to link at run time: the C library, and the C++ runtime and zlib when they are
# not linked in. dpkg-shlibdeps names them with their versions where it is installed.
find_program(TARVIK_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(TARVIK_DPKG_SHLIBDEPS)
if(TARVIK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(TARVIK_STATIC_RUNTIME)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6, zlib1g")
endif()

# Packaging refuses a version that the manual or the changelog does not name yet (X.Y.Z, the
# commit left aside).
set(CPACK_TARVIK_MANUAL "${TARVIK_MANUAL}")
set(CPACK_TARVIK_CHANGELOG_MD "${TARVIK_CHANGELOG_MD}")
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/release_checks.cmake")

include(CPack)
