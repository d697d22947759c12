# SPDX-License-Identifier: MIT
# The distribution's build flags, for the package. With TARVIK_DISTRIBUTION_FLAGS on (the package
# preset), the compiler and linker flags that dpkg-buildflags gives are added to the build's own,
# with every hardening feature on: stack protector, fortified functions, read-only relocations
# and immediate binding. The build type's flags still come last, so -O3 stays. Included by the
# top-level CMakeLists.txt before src/.
option(TARVIK_DISTRIBUTION_FLAGS
  "Add the compiler and linker flags of dpkg-buildflags, all hardening on (the package preset)" OFF)

if(TARVIK_DISTRIBUTION_FLAGS)
  find_program(TARVIK_DPKG_BUILDFLAGS dpkg-buildflags)
  mark_as_advanced(TARVIK_DPKG_BUILDFLAGS)
  if(NOT TARVIK_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags not found: the program is built without the distribution's "
                    "hardening flags (Debian: apt-get install dpkg-dev)")
    return()
  endif()
  # Run from the source folder, as a package build is: its -ffile-prefix-map maps this folder
  # to ".", so that no path of the build machine reaches the program.
  foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND "${CMAKE_COMMAND}" -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              "${TARVIK_DPKG_BUILDFLAGS}" --get ${kind}
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
      OUTPUT_VARIABLE tarvik_${kind}
      OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_CXX_FLAGS " ${tarvik_CPPFLAGS} ${tarvik_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${tarvik_LDFLAGS}")
  message(STATUS "Distribution flags: ${tarvik_CPPFLAGS} ${tarvik_CXXFLAGS} ${tarvik_LDFLAGS}")
endif()
