# Runs vorel-pick as a user would, on every build (the Windows ones under Wine), for what the process
# adds to the reading and the report the unit tests hold: the pick on standard output from a seed,
# a second or the clock, --help and -V, and a bad command line as one line on standard error with
# exit 2.
# Usage: cmake -DPICK=path [-DEMULATOR=a;b] -P check_cli.cmake
set(failures 0)

function(run_pick)
  execute_process(COMMAND ${EMULATOR} ${PICK} ${ARGN}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
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

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} vorel-pick check(s) failed")
endif()
message(STATUS "vorel-pick: every command-line check passed")
