# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<checkout> -P include_floors_test.cmake
#
# The areas of src/ stand on one another as floors: each may include only the areas below it, so
# that the classic algorithm reads on its own and the system layer knows nothing of what uses it.
# Fails naming every include that reaches a floor its area may not use, or an area not listed.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "include_floors_test.cmake: SOURCE_DIR is not set")
endif()

# Each area and the areas it may include.
set(floors_state "")
set(floors_exact "")
set(floors_system "")
set(floors_report "state;system")
set(floors_techniques "state;report")
set(floors_control "state;report;techniques;system")
set(floors_view "state;report;control;system")
set(floors_web "state;report;control;system;view")
set(floors_batch "state;report;techniques;control;system;view;exact")
set(floors_cli "state;report;control;system;view;batch;exact")
set(floors_main "system;cli")

set(faults "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.h"
     "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.in")
foreach(source IN LISTS sources)
  if(source MATCHES "^([a-z_]+)/")
    set(area "${CMAKE_MATCH_1}")
  elseif(source STREQUAL "main.cpp")
    set(area main)
  else()
    continue()
  endif()
  if(NOT DEFINED floors_${area})
    list(APPEND faults "src/${source}: area '${area}' has no floors listed in this test")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/src/${source}" includes REGEX "^#include \"[a-z_]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" used "${line}")
    if(NOT used STREQUAL area AND NOT used IN_LIST floors_${area})
      list(APPEND faults "src/${source}: ${area} may not include ${used}: ${line}")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "includes across floors:\n${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources keep to their floors")
