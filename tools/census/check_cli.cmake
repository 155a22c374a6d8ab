# Runs vorel-census as a user would: a small range in each output form, and each kind of bad input.
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
    "--wat" "unknown option '--wat'"
    "--find 1,2,3,4,5,6" "pick '1,2,3,4,5,6' has 6 numbers, not 7"
    "--find 1,2,3,4,5,6,38" "pick '1,2,3,4,5,6,38' has 38, which is not a number from 1 to 37"
    "--find" "--find needs a value"
    "--find 1,2,3,4,5,6,7 --chart c.svg" "--find lists the seconds of one pick: it cannot be used with --chart"
    "--find 1,2,3,4,5,6,7 --verify" "--find lists the seconds of one pick: it cannot be used with --verify"
    "--find 1,2,3,4,5,6,7 --first 0" "--first count '0' is not a whole number from 1 up"
    "--find 1,2,3,4,5,6,7 --first x" "--first count 'x' is not a whole number from 1 up"
    "--first 3" "--first needs --find")
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
# The zone comes from TZ: a date alone is that local day there; a TZ that names no zone is one line
# and exit 2.
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
if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT count EQUAL 1
   OR NOT err MATCHES "^vorel-census: TZ 'Asia/Tokio' names no time zone")
  message(FATAL_ERROR "TZ=Asia/Tokio: exit ${rc}, printed '${out}', error '${err}'")
endif()
set(ENV{TZ} UTC)
message(STATUS "vorel-census: every command-line check passed")
