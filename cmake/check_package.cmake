# Packs the Windows programs with cpack and checks what the ZIP holds.
# Usage: cmake -DBUILD_DIR=... -P check_package.cmake
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${out}")
endif()
file(GLOB zips ${BUILD_DIR}/vorel-*-win32.zip)
list(GET zips 0 zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing)
foreach(member vorel.exe vorel-pick.exe README.txt)
  if(NOT listing MATCHES "(^|\n)${member}\n")
    message(FATAL_ERROR "${zip} lacks ${member}; it holds:\n${listing}")
  endif()
endforeach()
message(STATUS "${zip} holds vorel.exe, vorel-pick.exe and README.txt")
