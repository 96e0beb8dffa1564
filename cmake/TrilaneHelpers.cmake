# GoogleTest for the test programs: the installed package, or, in a cross build (for which no
# GoogleTest library is packaged), built from the GoogleTest sources Debian ships in
# /usr/src/googletest. Either way the targets are GTest::gtest, GTest::gtest_main, GTest::gmock.
set(TRILANE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
macro(trilane_find_gtest)
  if(NOT TARGET GTest::gtest)
    if(CMAKE_CROSSCOMPILING)
      if(NOT EXISTS ${TRILANE_GTEST_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "Cross build: GoogleTest sources missing in ${TRILANE_GTEST_SOURCE}")
      endif()
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      add_subdirectory(${TRILANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
      # Their code, their warnings: our warning flags (and -Werror) stop at our own code.
      foreach(lib gtest gtest_main gmock gmock_main)
        target_compile_options(${lib} PRIVATE -w)
      endforeach()
    else()
      find_package(GTest REQUIRED)
    endif()
  endif()
endmacro()

# trilane_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
#   A GoogleTest program run by CTest. Not built in fuzz-only trees.
function(trilane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  if(TRILANE_FUZZ_ONLY)
    return()
  endif()
  trilane_find_gtest()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    TRILANE_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TRILANE_PROGRAM_DIR="${TRILANE_PROGRAM_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;${T_ENV}"
    TIMEOUT 600)
endfunction()

# trilane_fuzz(<name> SOURCES <files...> LIBS <targets...> [CORPUS <dir>])
#   A libFuzzer target, built only when TRILANE_FUZZ is on (clang). CTest runs it for
#   TRILANE_FUZZ_SECONDS seconds; a crash or sanitizer report fails the test.
function(trilane_fuzz name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT TRILANE_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(workdir ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  add_test(NAME ${name}
    COMMAND sh -c "mkdir -p '${workdir}' && exec \"$0\" \"$@\""
            $<TARGET_FILE:${name}> -max_total_time=${TRILANE_FUZZ_SECONDS} -rss_limit_mb=2048
            -timeout=10 -print_final_stats=0 ${workdir} ${F_CORPUS})
  # halt_on_error as well as the compile flag: a report never scrolls past as a mere warning.
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
  set_property(GLOBAL APPEND PROPERTY TRILANE_FUZZ_TARGETS ${name})
endfunction()

# A fuzz tree in which no fuzz target was registered (a room renamed, a helper that returns
# early) would build and "pass" while fuzzing nothing: the configure step fails instead.
function(trilane_check_fuzz_targets)
  get_property(targets GLOBAL PROPERTY TRILANE_FUZZ_TARGETS)
  if(NOT targets)
    message(FATAL_ERROR "TRILANE_FUZZ is on but no fuzz target was registered")
  endif()
endfunction()
if(TRILANE_FUZZ)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL trilane_check_fuzz_targets)
endif()
