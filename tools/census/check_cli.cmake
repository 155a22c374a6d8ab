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
if(NOT rc EQUAL 0 OR NOT out MATCHES "Latest index: 19, needed by 1 seed: 1237421458"
   OR NOT out MATCHES "\nChart: ${chart}\n$" OR NOT EXISTS "${chart}")
  message(FATAL_ERROR "table run: exit ${rc}\n${out}${err}")
endif()
run(--seeds 0:999 --json)
string(JSON covered ERROR_VARIABLE problem GET "${out}" seeds_covered)
string(JSON format ERROR_VARIABLE problem2 GET "${out}" format)
if(NOT rc EQUAL 0 OR problem OR problem2 OR NOT covered EQUAL 1000 OR NOT format EQUAL 1)
  message(FATAL_ERROR "json run: exit ${rc}, seeds_covered '${covered}', format '${format}' "
                      "${problem}${problem2}\n${out}${err}")
endif()

# A value after '=' is read as the value after a space.
run(--seeds=0:99 --json)
string(JSON covered ERROR_VARIABLE problem GET "${out}" seeds_covered)
if(NOT rc EQUAL 0 OR problem OR NOT covered EQUAL 100)
  message(FATAL_ERROR "--seeds=0:99: exit ${rc}, seeds_covered '${covered}' ${problem}\n${out}${err}")
endif()
run(--from=2027-01-01T00:00:00Z --to=2027-01-01T00:01:39Z --json)
string(JSON from ERROR_VARIABLE problem GET "${out}" covered from)
string(JSON covered ERROR_VARIABLE problem2 GET "${out}" seeds_covered)
if(NOT rc EQUAL 0 OR problem OR problem2 OR NOT from STREQUAL "2027-01-01T00:00:00Z"
   OR NOT covered EQUAL 100)
  message(FATAL_ERROR "--from=: exit ${rc}, from '${from}', seeds_covered '${covered}' "
                      "${problem}${problem2}\n${out}${err}")
endif()

# --help names the instruction sets; the slowest, one lane at a time, runs everywhere.
run(--help)
if(NOT rc EQUAL 0 OR NOT out MATCHES "Instruction sets this processor runs, best first: [A-Z0-9_, ]*SCALAR\n")
  message(FATAL_ERROR "--help: exit ${rc}\n${out}${err}")
endif()

# Each bad command line, after a good range (unless it is about ranges) so the bad part is what
# fails, and the line naming it.
set(cases
    "--seeds 7" "seed range '7' is not A:B"
    "--seeds 9:3" "seed range '9:3' is empty"
    "--seeds :" "seed range ':' is not A:B"
    "--threads 0" "thread count '0' is not a whole number from 1 up"
    "--threads 18446744073709551616" "thread count '18446744073709551616' is not a whole number"
    "--threads" "--threads needs a value"
    "--seeds 1:2 --seeds 3:4" "--seeds given twice"
    "--seeds=1:2 --seeds 3:4" "--seeds given twice"
    "--seeds=9:3" "seed range '9:3' is empty"
    "--threads=0" "thread count '0' is not a whole number from 1 up"
    "--json=yes" "--json takes no value (given 'yes')"
    "-h -h" "-h given twice"
    "--chart /nonexistent-dir/c.svg"
    "cannot write the chart to '/nonexistent-dir/c.svg': No such file or directory"
    "--chart /" "cannot write the chart to '/': Is a directory"
    "--target NEON" "target 'NEON' is not one this processor runs ("
    "--wat" "unknown option '--wat'")
list(LENGTH cases length)
math(EXPR last "${length} - 1")
foreach(at RANGE 0 ${last} 2)
  math(EXPR next "${at} + 1")
  list(GET cases ${at} shown)
  list(GET cases ${next} message)
  separate_arguments(bad UNIX_COMMAND "${shown}")
  if(shown MATCHES "^--seeds")
    run(${bad})
  else()
    run(--seeds 0:9 ${bad})
  endif()
  if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT err MATCHES "^vorel-census: ")
    message(FATAL_ERROR "'${shown}': exit ${rc}, printed '${out}', error '${err}'")
  endif()
  string(FIND "${err}" "${message}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "'${shown}': error '${err}' does not say '${message}'")
  endif()
endforeach()
message(STATUS "vorel-census: every command-line check passed")
