# Checks of the Windows programs that start no Windows process, so they run on every host: the
# bytes build again the same, the ZIP holds what it should, its notices name what each program
# links, the PE headers are right. Each checker is also shown a wrong program, link or README
# once, and must refuse it for the right reason.

add_test(NAME windows_programs_build_reproducibly
         COMMAND ${CMAKE_SOURCE_DIR}/cmake/reproducible.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
                 ${CMAKE_TOOLCHAIN_FILE})

set(check_package ${CMAKE_SOURCE_DIR}/cmake/check_package.cmake)
add_test(NAME zip_package_holds_both_programs
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DZIP=${CMAKE_BINARY_DIR}/vorel-${PROJECT_VERSION}-${VOREL_WINDOWS_ARCH}.zip
                 -DARCH_WORDS=${VOREL_ARCH_WORDS} -P ${check_package})
# Two READMEs a Notepad of old would show badly: bare line feeds, and no byte-order mark.
configure_file(packaging/README-windows.txt.in readme-line-feeds.txt @ONLY NEWLINE_STYLE LF)
file(WRITE ${CMAKE_BINARY_DIR}/readme-no-mark.txt "VOREL用サイコロ\r\nVOREL dice\r\n")
foreach(readme line-feeds no-mark)
  add_test(NAME readme_check_refuses_${readme}
           COMMAND ${CMAKE_COMMAND} -DREADME=${CMAKE_BINARY_DIR}/readme-${readme}.txt
                   -DARCH_WORDS=${VOREL_ARCH_WORDS} -P ${check_package})
endforeach()
set_tests_properties(readme_check_refuses_line-feeds PROPERTIES PASS_REGULAR_EXPRESSION
                     "line feeds, only 0 after a carriage return")
set_tests_properties(readme_check_refuses_no-mark PROPERTIES PASS_REGULAR_EXPRESSION
                     "does not begin with the UTF-8 byte-order mark")

# The notices in the ZIP name the runtime parts each program links, as its link map lists them
# (the map is written beside the program and changes none of its bytes); shown the other
# program's link, the check refuses it.
set(notices ${CMAKE_SOURCE_DIR}/packaging/windows-notices.txt)
foreach(program vorel vorel-pick)
  target_link_options(${program} PRIVATE "LINKER:-Map=${CMAKE_BINARY_DIR}/${program}.map")
  add_test(NAME notices_name_what_${program}_links
           COMMAND ${CMAKE_COMMAND} -DMAP=${CMAKE_BINARY_DIR}/${program}.map -DNOTICES=${notices}
                   -DPROGRAM=${program}.exe -P ${CMAKE_SOURCE_DIR}/cmake/check_notices.cmake)
endforeach()
add_test(NAME notices_check_refuses_another_link
         COMMAND ${CMAKE_COMMAND} -DMAP=${CMAKE_BINARY_DIR}/vorel-pick.map -DNOTICES=${notices}
                 -DPROGRAM=vorel.exe -P ${CMAKE_SOURCE_DIR}/cmake/check_notices.cmake)
set_tests_properties(notices_check_refuses_another_link PROPERTIES PASS_REGULAR_EXPRESSION
                     "vorel.exe links winpthreads, which its line in the notices does not name")

# The die within 16 KB on 32-bit Windows, and at its measured size on 64-bit Windows (see
# docs/performance.md for why it is larger there).
if(VOREL_WINDOWS_ARCH STREQUAL "win64")
  set(format pei-x86-64)
  set(die_size 16896)
else()
  set(format pei-i386)
  set(die_size 16384)
endif()
set(windows_dlls "KERNEL32.dll;USER32.dll;GDI32.dll;COMCTL32.dll;msvcrt.dll")
function(vorel_pe_test name exe subsystem imports size)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXE=${exe} -DFORMAT=${format}
                   -DSUBSYSTEM=${subsystem} "-DIMPORTS=${imports}" -DMAX_SIZE=${size}
                   -P ${CMAKE_SOURCE_DIR}/cmake/check_pe.cmake)
endfunction()
vorel_pe_test(die_pe_header $<TARGET_FILE:vorel> 2 "${windows_dlls}" ${die_size})
vorel_pe_test(pick_pe_header $<TARGET_FILE:vorel-pick> 3 "KERNEL32.dll;msvcrt.dll" 0)
vorel_pe_test(pe_check_refuses_a_console_program $<TARGET_FILE:vorel-pick> 2
              "KERNEL32.dll;msvcrt.dll" 0)
vorel_pe_test(pe_check_refuses_an_import_not_allowed $<TARGET_FILE:vorel> 2
              "KERNEL32.dll;USER32.dll;GDI32.dll;COMCTL32.dll" 0)
vorel_pe_test(pe_check_refuses_a_program_too_large $<TARGET_FILE:vorel> 2 "${windows_dlls}" 1024)
set_tests_properties(pe_check_refuses_a_console_program PROPERTIES PASS_REGULAR_EXPRESSION
                     "expected subsystem 2, found")
set_tests_properties(pe_check_refuses_an_import_not_allowed PROPERTIES PASS_REGULAR_EXPRESSION
                     "imports msvcrt.dll, which is not one of")
set_tests_properties(pe_check_refuses_a_program_too_large PROPERTIES PASS_REGULAR_EXPRESSION
                     "bytes, more than 1024")
