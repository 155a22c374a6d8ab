# Test helpers shared by every directory. In the Windows builds each test program runs under Wine
# (the emulator below) inside one Wine session: a private prefix in the build tree, one wineserver
# for the whole run and, when no display is set, a private Xvfb. The session is a CTest fixture,
# so `ctest` alone sets it up and ends it. The 32-bit build runs under Wine's 32-bit loader, the
# 64-bit build under its 64-bit loader; where the host cannot run 32-bit x86 code, the 32-bit
# build's tests that start a Windows program are skipped, saying why.
include(GoogleTest)

set(VOREL_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
if(CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/cmake/wine-run.sh;${VOREL_WINDOWS_ARCH};${VOREL_WINE_STATE}")
endif()

# A 32-bit Windows test on a host that cannot run 32-bit x86 code exits 77 with one line saying
# why, and CTest shows it as skipped. Nothing else may skip that way: a 64-bit test that cannot
# start is a failure.
function(vorel_wine_skips)
  if(VOREL_WINDOWS_ARCH STREQUAL "win32")
    set_tests_properties(${ARGN} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

# Marks tests that run Windows programs: they need the Wine session, and those that open windows
# share one display, so they take turns.
function(vorel_wine_tests)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine_session RESOURCE_LOCK display)
    vorel_wine_skips(${ARGN})
  endif()
endfunction()

# One CTest test per GoogleTest case, listed from the source so nothing runs at build time. A
# case that cannot run here says so with GTEST_SKIP, and CTest shows it as skipped, not passed.
function(vorel_add_gtest target)
  target_link_libraries(${target} PRIVATE gtest gtest_main)
  gtest_add_tests(TARGET ${target} TEST_LIST tests)
  vorel_wine_tests(${tests})
  set_tests_properties(${tests} PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()

if(BUILD_TESTING)
  # GoogleTest from the sources Debian ships, built with this build's compiler and flags.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  # Its own sources do not meet our warning bar.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)

  if(CMAKE_CROSSCOMPILING)
    add_test(NAME wine_session_start COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-session.sh" start
                                             ${VOREL_WINDOWS_ARCH} "${VOREL_WINE_STATE}")
    add_test(NAME wine_session_stop COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-session.sh" stop
                                            ${VOREL_WINDOWS_ARCH} "${VOREL_WINE_STATE}")
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
    vorel_wine_skips(wine_session_start)
  else()
    # How a host's ability to run each Windows build is judged, with stand-in loaders.
    add_test(NAME wine_runnable_decides
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine_runnable_test.sh ${CMAKE_SOURCE_DIR}/cmake)
    # The check scripts, and check_lib.sh that they share, as shellcheck reads them.
    add_test(NAME check_scripts_shellcheck
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/check_shell_scripts.sh ${CMAKE_SOURCE_DIR})
    set_tests_properties(check_scripts_shellcheck PROPERTIES SKIP_RETURN_CODE 77)
    # docs/architecture.md against the tree: every path and code name it cites is there. The
    # check is also shown a page that cites a file and a function that do not exist, and must name
    # both. Their names are put together here, so that no source names them.
    set(check_architecture ${CMAKE_SOURCE_DIR}/docs/check_architecture.sh)
    add_test(NAME docs_architecture_names COMMAND ${check_architecture} ${CMAKE_SOURCE_DIR})
    string(CONCAT made_up_name "RunCensus" "Twice")
    string(CONCAT made_up_page "The census starts at `RunCensus` in `tools/census/census.cpp`.\n"
                  "It counts twice in `${made_up_name}()` of `tools/census/census_twice.cpp`.\n")
    file(WRITE ${CMAKE_BINARY_DIR}/architecture-made-up.md "${made_up_page}")
    add_test(NAME docs_architecture_check_refuses_made_up_names
             COMMAND ${check_architecture} ${CMAKE_SOURCE_DIR}
                     ${CMAKE_BINARY_DIR}/architecture-made-up.md)
    string(CONCAT refusal "line 2: `RunCensus[T]wice\\(\\)`: no source .* names RunCensus[T]wice\n"
                  "FAIL: [^\n]*line 2: `tools/census/census_twice.cpp` is no file")
    set_tests_properties(docs_architecture_check_refuses_made_up_names
                         PROPERTIES PASS_REGULAR_EXPRESSION "${refusal}")
  endif()
endif()

