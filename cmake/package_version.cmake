# SPDX-License-Identifier: MIT
# Read by CPack before each package (CPACK_PROJECT_CONFIG_FILE): the package takes the version the
# build named, so that a package of a commit that is not a release says so as --version does
# (X.Y.Z+g<commit>, a Debian version sorting after X.Y.Z). Packaging stops when the program has not
# been built.

if(NOT EXISTS "${CPACK_TARVIK_VERSION_FILE}")
  message(FATAL_ERROR "${CPACK_TARVIK_VERSION_FILE} is missing: build the program first")
endif()
file(STRINGS "${CPACK_TARVIK_VERSION_FILE}" CPACK_PACKAGE_VERSION LIMIT_COUNT 1)

# The file name changes with every commit: a package of an earlier build in the same folder is
# removed, so that the folder holds the one package that lintian and the checks are to read.
if(CPACK_PACKAGE_DIRECTORY)
  set(folder "${CPACK_PACKAGE_DIRECTORY}")
else()
  set(folder "${CPACK_TARVIK_BINARY_DIR}")
endif()
file(GLOB earlier "${folder}/${CPACK_PACKAGE_NAME}_*.deb")
if(earlier)
  file(REMOVE ${earlier})
endif()
