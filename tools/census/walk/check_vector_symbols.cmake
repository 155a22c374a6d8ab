# The vector walk's object holds a build of the walk for each instruction set, each in a namespace
# of its own (vorel::N_AVX3, vorel::N_SSE4, ...). Everything outside those namespaces runs before
# the processor is asked what it has, or is a copy of a shared inline function or template that
# the linker may pick for the whole program: it must use only instructions every x86-64 processor
# runs. Checked in the disassembly: no AVX register or instruction, and none of the SSE4.1 and
# SSSE3 instructions the narrower builds use.
# Usage: cmake -DOBJDUMP=objdump -DOBJECTS=a.o;b.o -P check_vector_symbols.cmake
set(not_baseline "%[xyz]mm(1[6-9]|2[0-9]|3[01])|%[yz]mm|%k[0-7]|^v[a-z]|^(pshufb|pmulld|pminud|pmaxud|ptest|pblendvb|pextrd|pinsrd|blendvps|pcmpeqq|pabsd|palignr)[ \t]")
foreach(object ${OBJECTS})
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn -C ${object} OUTPUT_VARIABLE listing
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${object}")
  endif()
  string(REPLACE ";" "," listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(function "")
  set(per_target 0)
  set(baseline_functions 0)
  foreach(line ${lines})
    if(line MATCHES "^[0-9a-f]+ <(.*)>:$")
      set(function "${CMAKE_MATCH_1}")
      if(function MATCHES "vorel::N_[A-Z0-9_]+::")
        math(EXPR per_target "${per_target} + 1")
        set(function "")
      else()
        math(EXPR baseline_functions "${baseline_functions} + 1")
      endif()
    elseif(NOT function STREQUAL "" AND line MATCHES "^ *[0-9a-f]+:\t(.*)$")
      set(instruction "${CMAKE_MATCH_1}")
      if(instruction MATCHES "${not_baseline}")
        message(FATAL_ERROR "${object}: '${function}', outside the per-instruction-set "
                            "namespaces, uses '${instruction}', which not every x86-64 processor "
                            "runs")
      endif()
    endif()
  endforeach()
  if(per_target EQUAL 0 OR baseline_functions EQUAL 0)
    message(FATAL_ERROR "${object}: found ${per_target} functions in the per-instruction-set "
                        "namespaces and ${baseline_functions} outside them")
  endif()
endforeach()
message(STATUS "the vector walk's code outside its per-instruction-set builds runs on any x86-64")
