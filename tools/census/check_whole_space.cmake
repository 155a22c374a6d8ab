# Every one of the 2^32 seeds through vorel-census --json, as a user runs it, and the figures it
# has always found; then --find over every seed, as many seeds for a pick as the census counts,
# each showing it as vorel-pick shows it, and the next seconds that show a pick. Built with the
# sanitizers, any report of theirs ends the run with an error.
# Usage: cmake -DCENSUS=path -DPICK=path -P check_whole_space.cmake
# A zone the check names, never the machine's own.
set(ENV{TZ} UTC)
execute_process(COMMAND ${CENSUS} --json --threads 2 OUTPUT_VARIABLE json ERROR_VARIABLE err
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
  message(FATAL_ERROR "vorel-census --json: exit ${rc}\n${err}")
endif()

function(expect value)
  string(JSON actual ERROR_VARIABLE problem GET "${json}" ${ARGN})
  if(problem OR NOT actual STREQUAL "${value}")
    message(FATAL_ERROR "${ARGN}: '${actual}' ${problem}, expected '${value}'")
  endif()
endfunction()

expect(4294967296 seeds_covered)
string(JSON target GET "${json}" target)
if(NOT target MATCHES "^[A-Z][A-Z0-9_]*$")
  message(FATAL_ERROR "target: '${target}' is not an instruction set's name")
endif()
expect(10295472 picks_shown)
expect(0 seeds_with_00_in_the_line)
expect(04,06,07,09,15,16,20 most_frequent_pick line)
expect(636 most_frequent_pick seeds)
expect(09,14,17,22,26,28,30 least_frequent_pick line)
expect(242 least_frequent_pick seeds)
expect(7 fewest_distinct_candidates)
expect(78 fewest_distinct_candidates_seed_count)
expect(92753202 fewest_distinct_candidates_seeds 0)
expect(19 latest_index)
expect(1237421458 latest_index_seeds 0)
expect(3384905106 latest_index_seeds 1)
# CMake reads numbers as doubles and writes them back longer, so the ratio is read as printed.
if(NOT json MATCHES "\"most_to_least_ratio\": 1\\.001049309[0-9]*,")
  message(FATAL_ERROR "most_to_least_ratio is not 1.001049309")
endif()

# Seeds by the index of the seventh distinct value, 6 to 19, and by number, 1 to 37: a draw lost
# or counted twice anywhere changes one of these.
set(by_index 2347626012 1332403558 456120752 122642366 28604340 6078004 1210654 230212 42324 7618
    1230 200 24 2)
set(index 6)
foreach(seeds ${by_index})
  expect(${seeds} seeds_by_seventh_distinct_index ${index})
  math(EXPR index "${index} + 1")
endforeach()
set(by_number
    812865540 812877920 812876828 812878036 812883464 812881914 812875060 812876586 812885188
    812880500 812880980 812871582 812880670 812879048 812883330 812873878 812875328 812877646
    812882928 812879972 812879346 812875308 812867752 812039100 812050424 812037028 812033114
    812043420 812035452 812053820 812052888 812034972 812035636 812035542 812050786 812041216
    812038870)
set(number 1)
foreach(seeds ${by_number})
  expect(${seeds} number_counts ${number})
  math(EXPR number "${number} + 1")
endforeach()
message(STATUS "vorel-census: the whole space gives the figures it always has")

# The most and the least frequent pick, found over every seed: as many seeds as the census counts.
function(find pick)
  execute_process(COMMAND ${CENSUS} --find ${pick} --json --threads 2 ${ARGN}
                  OUTPUT_VARIABLE found ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "vorel-census --find ${pick} ${ARGN}: exit ${rc}\n${err}")
  endif()
  set(found "${found}" PARENT_SCOPE)
endfunction()
foreach(end most least)
  string(JSON line GET "${json}" ${end}_frequent_pick line)
  string(JSON seeds GET "${json}" ${end}_frequent_pick seeds)
  find(${line})
  string(JSON count GET "${found}" found)
  if(NOT count EQUAL seeds)
    message(FATAL_ERROR "--find ${line} finds ${count} seeds, the census counts ${seeds}")
  endif()
endforeach()

# Seed 0's pick: seed 0 first, and every seed listed shows the pick in vorel-pick.
find(02,14,15,18,20,21,31)
string(JSON first GET "${found}" matches 0 seed)
string(JSON listed LENGTH "${found}" matches)
if(NOT first EQUAL 0 OR listed LESS 2)
  message(FATAL_ERROR "--find 02,14,15,18,20,21,31 lists ${listed} seeds, the first ${first}")
endif()
math(EXPR last "${listed} - 1")
foreach(at RANGE ${last})
  string(JSON seed GET "${found}" matches ${at} seed)
  execute_process(COMMAND ${PICK} --seed ${seed} OUTPUT_VARIABLE line RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT line STREQUAL "02,14,15,18,20,21,31\n")
    message(FATAL_ERROR "seed ${seed}, found for 02,14,15,18,20,21,31, shows ${line}")
  endif()
endforeach()

# The next three seconds that show 01,02,03,04,05,06,07, in Tokyo: at or after now, ascending,
# each on Tokyo's clocks, and each showing it when vorel-pick is asked for that second, as UTC
# and as Tokyo has it.
set(ENV{TZ} Asia/Tokyo)
string(TIMESTAMP before "%s" UTC)
find(01,02,03,04,05,06,07 --from now --first 3)
string(JSON listed LENGTH "${found}" matches)
if(NOT listed EQUAL 3)
  message(FATAL_ERROR "--from now --first 3 lists ${listed} seconds\n${found}")
endif()
# The program's coarse clock may still show the second before CMake's for a few milliseconds.
math(EXPR previous "${before} - 1")
foreach(at 0 1 2)
  string(JSON second GET "${found}" matches ${at} unix_second)
  string(JSON utc GET "${found}" matches ${at} second)
  if(second LESS previous)
    message(FATAL_ERROR "--from now --first 3: ${utc} comes before ${previous}\n${found}")
  endif()
  string(JSON local GET "${found}" matches ${at} local_second)
  if(NOT local MATCHES "[+]09:00$")
    message(FATAL_ERROR "--from now --first 3 in Tokyo lists ${local}\n${found}")
  endif()
  foreach(written ${utc} ${local})
    execute_process(COMMAND ${PICK} --at ${written} OUTPUT_VARIABLE line RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT line STREQUAL "01,02,03,04,05,06,07\n")
      message(FATAL_ERROR "${written}, found for 01,02,03,04,05,06,07, shows ${line}")
    endif()
  endforeach()
  math(EXPR previous "${second} + 1")
endforeach()
message(STATUS "vorel-census --find: as many seeds as the census counts, each showing the pick")
