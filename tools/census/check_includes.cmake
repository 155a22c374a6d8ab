# The census's rooms include downward only. The driver (every header in this folder but
# census_result.h and census_scope.h, the figures and the seeds every part hands on) is included
# by no file of walk/, count/, report/ or find/; count/ includes nothing of walk/, report/ or
# find/, so that counting knows nothing of how the draws are met; report/ nothing of walk/ or
# find/; walk/ nothing of find/, whose seeds the driver hands on; find/ nothing of walk/ or
# count/. Tests may use any part to make their cases.
# Usage: cmake -DCENSUS_DIR=tools/census -P check_includes.cmake
file(GLOB driver_paths RELATIVE ${CENSUS_DIR} ${CENSUS_DIR}/*.h)
list(REMOVE_ITEM driver_paths census_result.h census_scope.h)
set(forbidden_walk ${driver_paths} "report/" "find/")
set(forbidden_count ${driver_paths} "walk/" "report/" "find/")
set(forbidden_report ${driver_paths} "walk/" "find/")
set(forbidden_find ${driver_paths} "walk/" "count/")

set(checked 0)
foreach(room walk count report find)
  file(GLOB sources RELATIVE ${CENSUS_DIR} ${CENSUS_DIR}/${room}/*.h ${CENSUS_DIR}/${room}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
  foreach(source ${sources})
    file(STRINGS ${CENSUS_DIR}/${source} includes REGEX "^#include \"")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" included "${line}")
      foreach(bad ${forbidden_${room}})
        string(FIND "${included}" "${bad}" at)
        if(at EQUAL 0)
          message(FATAL_ERROR "${source} includes \"${included}\": ${room}/ must not include it")
        endif()
      endforeach()
    endforeach()
    math(EXPR checked "${checked} + 1")
  endforeach()
endforeach()
if(checked LESS 28)
  message(FATAL_ERROR "found only ${checked} files of the rooms in ${CENSUS_DIR}")
endif()
message(STATUS "the ${checked} files of walk/, count/, report/ and find/ include downward only")
