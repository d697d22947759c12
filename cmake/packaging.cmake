# Manual page and package. Included at the end of the top-level CMakeLists.txt, after
# GNUInstallDirs and the install rule of the program.

set(TARVIK_MANUAL "${PROJECT_SOURCE_DIR}/doc/tarvik.1")
# TYPE MAN would land in share/man itself: the section folder has to be named.
install(FILES "${TARVIK_MANUAL}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# The manual's title line names the version; say so when it falls behind the project's.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TARVIK_MANUAL}")
file(STRINGS "${TARVIK_MANUAL}" TARVIK_MANUAL_TITLE REGEX "^\\.TH ")
if(NOT TARVIK_MANUAL_TITLE MATCHES "\"tarvik ${PROJECT_VERSION}\"")
  message(AUTHOR_WARNING
    "doc/tarvik.1 does not name version ${PROJECT_VERSION} in its .TH line: ${TARVIK_MANUAL_TITLE}")
endif()

# cpack -G DEB in the build tree makes tarvik_VERSION_amd64.deb with the program and the manual.
set(CPACK_PACKAGE_NAME "tarvik")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "tarvik developers")
set(CPACK_PACKAGE_CONTACT "tarvik developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The package's long description: lines of at most 80 characters, as Debian asks.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "tarvik solves one 9x9 Sudoku puzzle per run. It reads the puzzle, its run\n"
  "parameters and a search sequence from Sudin.txt in the working directory,\n"
  "works the puzzle with four simple deduction techniques and with guesses, and\n"
  "writes a report of how it got there to standard output and to Sudout.txt.")
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "tarvik")
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "tarvik developers")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The C++ runtime is linked in; what is left is the C library, which dpkg-shlibdeps names with
# its version where it is installed.
find_program(TARVIK_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(TARVIK_DPKG_SHLIBDEPS)
if(TARVIK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
endif()

include(CPack)
