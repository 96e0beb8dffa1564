# trilane_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
#   A GoogleTest program run by CTest. Not built in fuzz-only trees.
function(trilane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  if(TRILANE_FUZZ_ONLY)
    return()
  endif()
  find_package(GTest REQUIRED)
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
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy")
endfunction()
