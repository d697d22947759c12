# SPDX-License-Identifier: MIT
# How the program links the C++ runtime. Included by the top-level CMakeLists.txt before src/.

option(TARVIK_STATIC_RUNTIME
  "Link the C++ runtime (libstdc++, libgcc) into the program for a faster start; OFF uses the shared one"
  ON)

# Links the C++ runtime into TARGET when TARVIK_STATIC_RUNTIME is on: with it linked in, the
# dynamic loader is spared most of its start-up work, which is a large share of a short run.
function(tarvik_link_cxx_runtime target)
  if(TARVIK_STATIC_RUNTIME)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()

# zlib reads gzip collections. It is linked as the C++ runtime is: into the program when
# TARVIK_STATIC_RUNTIME is on (the package then depends on the C library alone), as the shared
# library otherwise (Debian: zlib1g-dev to build, zlib1g to run).
set(ZLIB_USE_STATIC_LIBS ${TARVIK_STATIC_RUNTIME})
find_package(ZLIB REQUIRED)
