# SPDX-License-Identifier: MIT
# cmake -DPAGE_DIR=<src/web/page> -DMODULE=<tarvik_module.js> -DOUT=<tarvik.html> -P assemble.cmake
#
# Puts the style, the page's script and the worker (the module and the worker's script) into the
# template, so that the page is one file that needs nothing else. The worker's text stands in a
# script element the browser does not run; the page starts it from a Blob URL.
cmake_minimum_required(VERSION 3.25)

file(READ "${PAGE_DIR}/tarvik.html" page)
file(READ "${PAGE_DIR}/page.css" style)
file(READ "${PAGE_DIR}/page.js" script)
file(READ "${MODULE}" module)
file(READ "${PAGE_DIR}/worker.js" worker)

# Inside a script element nothing may look like its end or the start of a comment.
foreach(part module worker script)
  string(TOLOWER "${${part}}" lower)
  foreach(marker "</script" "<!--" "<script")
    string(FIND "${lower}" "${marker}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "assemble.cmake: the ${part} holds '${marker}' at byte ${at}")
    endif()
  endforeach()
endforeach()

# Replaced one after another, each marker standing once in the template.
foreach(part style script worker module)
  string(TOUPPER "${part}" name)
  string(FIND "${page}" "@${name}@" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "assemble.cmake: the template has no @${name}@")
  endif()
  string(SUBSTRING "${page}" 0 ${at} before)
  string(LENGTH "@${name}@" markerLength)
  math(EXPR rest "${at} + ${markerLength}")
  string(SUBSTRING "${page}" ${rest} -1 after)
  string(STRIP "${${part}}" text)
  set(page "${before}${text}${after}")
endforeach()
file(WRITE "${OUT}" "${page}")
