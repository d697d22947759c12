# SPDX-License-Identifier: MIT
# cmake -DGZIP=gzip -DINPUT=file -DOUTPUT=file.gz -P gzip_file.cmake
# Compresses INPUT at the highest level without storing a name or a time, as Debian asks for
# manual pages and changelogs, so that the same input always gives the same bytes.

foreach(var GZIP INPUT OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "gzip_file.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(
  COMMAND "${GZIP}" -9n -c "${INPUT}"
  OUTPUT_FILE "${OUTPUT}.tmp"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.tmp")
  message(FATAL_ERROR "gzip -9n failed on ${INPUT}: ${result}")
endif()
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
