cmake_policy(VERSION 3.25)
# Packs the Windows programs with cpack and checks what the ZIP holds: both programs; a README
# that every Notepad reads (UTF-8 with a byte-order mark, Windows line ends), in Japanese and
# English, naming the Windows the programs are for; and the MIT licence and the notices of the
# runtime parts linked into the programs, with Windows line ends too. With -DREADME=file, checks
# only that file.
# Usage: cmake -DBUILD_DIR=... -DZIP=.../vorel-VERSION-ARCH.zip -DARCH_WORDS=... -P check_package.cmake
#        cmake -DREADME=file -DARCH_WORDS=... -P check_package.cmake

# A text file of the ZIP: Windows line ends only, and each of the given words in it.
function(check_text file name)
  # CMake's text reading drops carriage returns, so the line ends are counted on the bytes, one
  # space after each so that no match straddles two bytes.
  file(READ ${file} hex HEX)
  file(READ ${file} text)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
  string(REGEX MATCHALL "0d 0a " crlf "${bytes}")
  string(REGEX MATCHALL "0a " lf "${bytes}")
  list(LENGTH crlf crlfCount)
  list(LENGTH lf lfCount)
  if(crlfCount EQUAL 0 OR NOT crlfCount EQUAL lfCount)
    message(FATAL_ERROR "${name} has ${lfCount} line feeds, only ${crlfCount} after a carriage return")
  endif()
  foreach(needle ${ARGN})
    string(FIND "${text}" "${needle}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${name} does not say '${needle}'")
    endif()
  endforeach()
endfunction()

function(check_readme file)
  file(READ ${file} hex LIMIT 3 HEX)
  if(NOT hex STREQUAL "efbbbf")
    message(FATAL_ERROR "README.txt does not begin with the UTF-8 byte-order mark")
  endif()
  check_text(${file} README.txt "VOREL用サイコロ" "VOREL dice" "${ARCH_WORDS}" "vorel-pick --seed 0"
             LICENSE.txt THIRD-PARTY-NOTICES.txt)
endfunction()

if(README)
  check_readme(${README})
  message(STATUS "${README} reads in every Notepad and names ${ARCH_WORDS}")
  return()
endif()

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS ${ZIP})
  message(FATAL_ERROR "cpack did not make ${ZIP}: ${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing)
string(REPLACE "\n" ";" members "${listing}")
foreach(member vorel.exe vorel-pick.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
  if(NOT member IN_LIST members)
    message(FATAL_ERROR "${ZIP} lacks ${member}; it holds:\n${listing}")
  endif()
endforeach()

set(unpacked ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${unpacked})
check_readme(${unpacked}/README.txt)
check_text(${unpacked}/LICENSE.txt LICENSE.txt "MIT License" "Copyright (c) 2026 The VOREL dice authors")
check_text(${unpacked}/THIRD-PARTY-NOTICES.txt THIRD-PARTY-NOTICES.txt "vorel.exe carries: "
           "vorel-pick.exe carries: " "GCC RUNTIME LIBRARY EXCEPTION" "GNU GENERAL PUBLIC LICENSE")
message(STATUS "${ZIP} holds vorel.exe, vorel-pick.exe, a README.txt for ${ARCH_WORDS}, "
               "LICENSE.txt and THIRD-PARTY-NOTICES.txt")
