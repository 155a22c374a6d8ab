# The AVX-512 walk's object may define only its own two entry points. Any other global symbol,
# such as a weak copy of an inline function or a template from a header, is code built for
# AVX-512 that the linker may pick for the whole program, where a processor without AVX-512
# would then fault.
# Usage: cmake -DNM=nm -DOBJECTS=a.o;b.o -P check_vector_symbols.cmake
foreach(object ${OBJECTS})
  execute_process(COMMAND ${NM} --defined-only ${object} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${object}")
  endif()
  string(REPLACE "\n" ";" lines "${symbols}")
  set(entry_points 0)
  foreach(line ${lines})
    if(NOT line MATCHES "^[0-9a-f]* ([A-Za-z]) (.*)$")
      continue()
    endif()
    set(type "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    if(type MATCHES "^[a-tx-z]$")
      continue()  # local to the object (u, v and w are weak or unique globals)
    endif()
    if(type STREQUAL "T" AND name MATCHES "^_Z(10WalkVector|17VectorWalkForTest)")
      math(EXPR entry_points "${entry_points} + 1")
    else()
      message(FATAL_ERROR "${object} defines '${name}' (${type}), built for AVX-512 but visible "
                          "to the rest of the program")
    endif()
  endforeach()
  if(NOT entry_points EQUAL 2)
    message(FATAL_ERROR "${object}: expected WalkVector and VectorWalkForTest, found ${entry_points}")
  endif()
endforeach()
message(STATUS "the AVX-512 walk defines its two entry points and nothing else")
