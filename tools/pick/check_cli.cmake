# Runs vorel-pick as a user would, on every build (the Windows ones under Wine), for what the process
# adds to the reading and the report the unit tests hold: the pick on standard output from a seed,
# a second or the clock, --help and -V, and a bad command line as one line on standard error with
# exit 2.
# Usage: cmake -DPICK=path [-DEMULATOR=a;b] -P check_cli.cmake
set(failures 0)
# A zone the check names, never the machine's own; each run below that needs another sets it.
set(ENV{TZ} UTC)

# With `windows_zone` set on a Windows build, the program reads the zone set in Windows: under
# Wine that follows the host's TZ, but TZ itself reaches the program too, and the runtime would
# read it first, so cmd takes it away (the arguments hold no spaces there).
function(run_pick)
  if(windows_zone AND EMULATOR)
    get_filename_component(folder "${PICK}" DIRECTORY)
    get_filename_component(name "${PICK}" NAME)
    list(JOIN ARGN " " line)
    execute_process(COMMAND ${EMULATOR} cmd /c "set TZ=&& ${name} ${line}"
                    WORKING_DIRECTORY "${folder}"
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  else()
    execute_process(COMMAND ${EMULATOR} ${PICK} ${ARGN}
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  endif()
  string(REPLACE "\r" "" out "${out}")
  string(REPLACE "\r" "" err "${err}")
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  set(rc "${rc}" PARENT_SCOPE)
endfunction()

function(fail what)
  message(SEND_ERROR "vorel-pick ${what}")
  math(EXPR n "${failures} + 1")
  set(failures ${n} PARENT_SCOPE)
endfunction()

# A good call prints exactly the expected text and exits 0.
function(expect_output expected)
  run_pick(${ARGN})
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "${expected}" OR NOT err STREQUAL "")
    fail("${ARGN}: exit ${rc}, printed '${out}', error '${err}', expected '${expected}'")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# Bad input: one line on stderr after the program's name, nothing on stdout, exit code 2.
function(expect_refusal)
  run_pick(${ARGN})
  string(REGEX MATCHALL "\n" lines "${err}")
  list(LENGTH lines count)
  if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT count EQUAL 1 OR NOT err MATCHES "^vorel-pick: ")
    fail("${ARGN}: exit ${rc}, printed '${out}', error '${err}', expected one line and exit 2")
  endif()
  set(err "${err}" PARENT_SCOPE)
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# The same, and the line holds `offsets`: where the zone comes from outside (on Windows, the zone
# set in Windows, which no unit test can set), the offsets it names show which zone was read.
function(expect_refusal_in_zone offsets)
  expect_refusal(${ARGN})
  string(FIND "${err}" "${offsets}" at)
  if(at EQUAL -1)
    fail("${ARGN}: error '${err}' names not '${offsets}'")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

expect_output("02,14,15,18,20,21,31\n" --seed 0)
expect_output("06,07,09,20,27,30,32\n" --seed 0xFFFFFFFF)
# The same second through --at and through --seed, before, at and after the 2038 boundary.
expect_output("06,07,09,20,27,30,32\n" --at 2038-01-19T03:14:07Z)
expect_output("02,14,15,18,20,21,31\n" --at 2038-01-19T03:14:08Z)
run_pick(--seed 1796616306)
expect_output("${out}" --at 2026-12-07T04:05:06Z)
run_pick(--json --at 2038-01-19T03:14:08Z)
string(JSON format ERROR_VARIABLE problem GET "${out}" format)
string(JSON line ERROR_VARIABLE problem2 GET "${out}" line)
string(JSON second ERROR_VARIABLE problem3 GET "${out}" utc_second)
if(NOT rc EQUAL 0 OR problem OR problem2 OR problem3 OR NOT format EQUAL 1
   OR NOT line STREQUAL "02,14,15,18,20,21,31" OR NOT second STREQUAL "2038-01-19T03:14:08Z")
  fail("--json --at 2038-01-19T03:14:08Z: exit ${rc}, printed '${out}' ${problem}${problem2}${problem3}")
endif()

run_pick()
if(NOT rc EQUAL 0 OR NOT out MATCHES "^[0-3][0-9](,[0-3][0-9])(,[0-3][0-9])(,[0-3][0-9])(,[0-3][0-9])(,[0-3][0-9])(,[0-3][0-9])\n$")
  fail("without options: exit ${rc}, printed '${out}'")
endif()
# --at now is the clock's second as the program started, 64 bits wide on every build: between the
# seconds read before and after the run. The program reads the kernel's coarse clock, which can
# still show the last second for a few milliseconds after CMake's own clock has turned over (seen:
# CMake read ...201 before the run, the program ...200), so the low end allows that one second.
string(TIMESTAMP before "%s" UTC)
run_pick(--json --at now)
string(TIMESTAMP after "%s" UTC)
string(JSON second ERROR_VARIABLE problem GET "${out}" utc_second)
string(JSON seed ERROR_VARIABLE problem2 GET "${out}" seed)
math(EXPR low "(${before} - 1) % 4294967296")
math(EXPR high "${after} % 4294967296")
if(NOT rc EQUAL 0 OR problem OR problem2 OR seed LESS low OR seed GREATER high
   OR NOT second MATCHES "^20[0-9][0-9]-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z$")
  fail("--json --at now: exit ${rc}, printed '${out}', not between ${before} and ${after}")
endif()
run_pick(-V)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "^vorel-pick [0-9.]+\n$")
  fail("-V: exit ${rc}, printed '${out}', error '${err}'")
endif()
# --help wins over the rest of the line.
run_pick(--help --seed 1 --at now)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "^Usage: vorel-pick ")
  fail("--help --seed 1 --at now: exit ${rc}, printed '${out}', error '${err}'")
endif()

# What each refusal says is the unit tests' to hold; here, that it is one line, whatever is wrong.
expect_refusal(--seed 4294967296)
expect_refusal(--seeds 5)
expect_refusal(--seed 1 -- extra)

# The zone comes from TZ: a local time read there, the second shown there beside UTC. The Windows
# runtime reads TZ only in its own form ("JST-9").
set(tokyo Asia/Tokyo)
if(EMULATOR)
  set(tokyo JST-9)
endif()
set(ENV{TZ} ${tokyo})
run_pick(--json --at "2026-12-07 13:05:06")
string(JSON local ERROR_VARIABLE problem GET "${out}" local_second)
string(JSON seed ERROR_VARIABLE problem2 GET "${out}" seed)
if(NOT rc EQUAL 0 OR problem OR problem2 OR NOT local STREQUAL "2026-12-07T13:05:06+09:00"
   OR NOT seed EQUAL 1796616306)
  fail("--json --at '2026-12-07 13:05:06' with TZ=${tokyo}: exit ${rc}, printed '${out}' ${err}")
endif()
# Berlin's two changes of 2026: the hour skipped and the hour gone over twice refused, the seconds
# around the changes read. On Windows from the zone set in Windows, as the runtime reads it.
set(ENV{TZ} Europe/Berlin)
set(windows_zone ON)
expect_refusal_in_zone("(+01:00 to +02:00)" --at 2026-03-29T02:30:00)
expect_refusal_in_zone("+02:00 (the first) or 2026-10-25T02:30:00+01:00 (the second)"
                       --at 2026-10-25T02:30:00)
foreach(change "2026-03-29T01:59:59 2026-03-29T00:59:59Z 2026-03-29T01:59:59+01:00"
               "2026-03-29T03:00:00 2026-03-29T01:00:00Z 2026-03-29T03:00:00+02:00"
               "2026-10-25T01:59:59 2026-10-24T23:59:59Z 2026-10-25T01:59:59+02:00"
               "2026-10-25T03:00:00 2026-10-25T02:00:00Z 2026-10-25T03:00:00+01:00")
  separate_arguments(change)
  list(GET change 0 at)
  list(GET change 1 utc)
  list(GET change 2 shown)
  run_pick(--json --at ${at})
  string(JSON second ERROR_VARIABLE problem GET "${out}" utc_second)
  string(JSON local ERROR_VARIABLE problem2 GET "${out}" local_second)
  if(NOT rc EQUAL 0 OR problem OR problem2 OR NOT second STREQUAL utc OR NOT local STREQUAL shown)
    fail("--json --at ${at} in Berlin: exit ${rc}, printed '${out}' ${err}, not ${utc}, ${shown}")
  endif()
endforeach()
set(windows_zone OFF)

# A TZ that names no zone is one line and exit 2, not UTC without a word.
set(ENV{TZ} Asia/Tokio)
expect_refusal(--at now)
set(ENV{TZ} UTC)

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} vorel-pick check(s) failed")
endif()
message(STATUS "vorel-pick: every command-line check passed")
