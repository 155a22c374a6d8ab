# Runs vorel-census as a user would: a small range in each output form, and each kind of bad input.
# Usage: cmake -DCENSUS=path -DWORK=dir -P check_cli.cmake
function(run)
  execute_process(COMMAND ${CENSUS} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err
                  RESULT_VARIABLE rc)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  set(rc "${rc}" PARENT_SCOPE)
endfunction()

set(chart "${WORK}/census-check.svg")
file(REMOVE "${chart}")
run(--seeds 1237421400:1237421499 --threads 2 --chart "${chart}")
if(NOT rc EQUAL 0 OR NOT out MATCHES "Latest index: 19, needed by 1 seed: 1237421458" OR NOT EXISTS "${chart}")
  message(FATAL_ERROR "table run: exit ${rc}\n${out}${err}")
endif()
run(--seeds 0:999 --json)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^{\n  \"seeds_covered\": 1000,")
  message(FATAL_ERROR "json run: exit ${rc}\n${out}${err}")
endif()

foreach(bad "--seeds;7" "--seeds;9:3" "--seeds;:" "--threads;0" "--threads" "--chart;/nonexistent-dir/c.svg" "--wat")
  run(${bad} --seeds 0:9)
  if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR err STREQUAL "")
    message(FATAL_ERROR "'${bad}': exit ${rc}, printed '${out}', error '${err}'")
  endif()
endforeach()
message(STATUS "vorel-census: every command-line check passed")
