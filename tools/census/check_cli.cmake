# Runs vorel-census as a user would, for what the process adds to the reading and the reports the
# unit tests hold: a small range in each output form on standard output, --help and -V, and a bad
# command line as one line on standard error with exit 2.
# Usage: cmake -DCENSUS=path -DWORK=dir -P check_cli.cmake
# A zone the check names, never the machine's own; the runs that need another set it.
set(ENV{TZ} UTC)
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

# --find: seed 0's pick among a thousand seeds (seeds 0 and 1), and in the seconds around the
# 2106 wrap, where the seeds start again at 0; a pick nothing shows is no error.
run(--find 2,14,15,18,20,21,31 --seeds 0:999 --json)
string(JSON found ERROR_VARIABLE problem GET "${out}" found)
string(JSON second ERROR_VARIABLE problem2 GET "${out}" matches 1 second)
string(JSON format ERROR_VARIABLE problem3 GET "${out}" format)
if(NOT rc EQUAL 0 OR problem OR problem2 OR problem3 OR NOT found EQUAL 2
   OR NOT second STREQUAL "1970-01-01T00:00:01Z" OR NOT format EQUAL 1)
  message(FATAL_ERROR "--find --json: exit ${rc}, found '${found}', second '${second}', format "
                      "'${format}' ${problem}${problem2}${problem3}\n${out}${err}")
endif()
run(--find=31,21,20,18,15,14,02 --from 2106-02-07T06:28:10Z --to 2106-02-07T06:28:20Z)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "\nSeconds that show it: 2 \\("
   OR NOT out MATCHES "\n2106-02-07T06:28:16Z              0\n2106-02-07T06:28:17Z              1\n$")
  message(FATAL_ERROR "--find past 2106: exit ${rc}\n${out}${err}")
endif()
run(--find 01,02,03,04,05,06,07 --seeds 0:999)
if(NOT rc EQUAL 0 OR NOT err STREQUAL ""
   OR NOT out STREQUAL "No seed shows 01,02,03,04,05,06,07 (seeds 0 to 999)\n")
  message(FATAL_ERROR "--find of a pick not shown: exit ${rc}, printed '${out}', error '${err}'")
endif()
run(--find 01,02,03,04,05,06,07 --seeds 0:999 --json)
string(JSON found ERROR_VARIABLE problem GET "${out}" found)
string(JSON listed ERROR_VARIABLE problem2 LENGTH "${out}" matches)
if(NOT rc EQUAL 0 OR problem OR problem2 OR NOT found EQUAL 0 OR NOT listed EQUAL 0)
  message(FATAL_ERROR "--find --json of a pick not shown: exit ${rc}\n${out}${err}")
endif()

# --help wins over the rest of the line: the help on standard output, exit 0, the instruction sets
# last; the slowest, one lane at a time, runs everywhere.
run(--help --first 3)
if(NOT rc EQUAL 0 OR NOT err STREQUAL ""
   OR NOT out MATCHES "Instruction sets this processor runs, best first:\n  [A-Z0-9_, ]*SCALAR\n$")
  message(FATAL_ERROR "--help --first 3: exit ${rc}\n${out}${err}")
endif()
run(-V)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "^vorel-census [0-9.]+\n$")
  message(FATAL_ERROR "-V: exit ${rc}, printed '${out}', error '${err}'")
endif()

# A bad command line, whatever is wrong: one line on standard error, after the program's name,
# nothing on standard output, exit 2. What each line says is the unit tests' to hold, but for the
# chart path, which is refused here, not in the reading.
foreach(bad "--seeds 9:3" "--seed 5" "--help --bogus" "--seeds 0:9 -- --json"
            "--seeds 0:9 --chart /nonexistent-dir/c.svg")
  separate_arguments(args UNIX_COMMAND "${bad}")
  run(${args})
  string(REGEX MATCHALL "\n" lines "${err}")
  list(LENGTH lines count)
  if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT count EQUAL 1 OR NOT err MATCHES "^vorel-census: ")
    message(FATAL_ERROR "'${bad}': exit ${rc}, printed '${out}', error '${err}'")
  endif()
endforeach()
if(NOT err MATCHES "^vorel-census: cannot write the chart to '/nonexistent-dir/c.svg': ")
  message(FATAL_ERROR "an unwritable chart path: error '${err}'")
endif()
# The zone comes from TZ in the environment: a date alone is that local day there, and a TZ that
# names no zone is a bad command line like the others (its words are the unit tests' to hold).
set(ENV{TZ} Asia/Tokyo)
run(--from 2027-01-01 --to 2027-01-01 --json)
string(JSON from ERROR_VARIABLE problem GET "${out}" covered from_local)
if(NOT rc EQUAL 0 OR problem OR NOT from STREQUAL "2027-01-01T00:00:00+09:00")
  message(FATAL_ERROR "a local day in Tokyo: exit ${rc}, from '${from}' ${problem}\n${out}${err}")
endif()
set(ENV{TZ} Asia/Tokio)
run(--find 1,2,3,4,5,6,7 --seeds 0:9)
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines count)
if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT count EQUAL 1 OR NOT err MATCHES "^vorel-census: ")
  message(FATAL_ERROR "TZ=Asia/Tokio: exit ${rc}, printed '${out}', error '${err}'")
endif()
set(ENV{TZ} UTC)
message(STATUS "vorel-census: every command-line check passed")
