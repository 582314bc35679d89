# vantrel_test(NAME n LABEL area SOURCES ... LIBS ... [ENV k=v ...] [TIMEOUT s] [PROCESSORS n]
#              [ASAN_OPTIONS o=v:o2=v2])
# A GoogleTest program whose cases are discovered into CTest, labelled with its source folder.
# ASAN_OPTIONS are the program's own AddressSanitizer defaults in sanitizer builds.
function(vantrel_test)
  cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT;PROCESSORS;ASAN_OPTIONS" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${T_NAME} PRIVATE VANTREL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  # The test's own environment is set by its main (tests/support/TestMain.cpp), not by CTest, so a test
  # program run by hand behaves as under CTest.
  list(JOIN T_ENV "|" _env)
  target_compile_definitions(${T_NAME} PRIVATE VANTREL_TEST_ENV="${_env}")
  set(_props LABELS ${T_LABEL})
  if(T_TIMEOUT)
    list(APPEND _props TIMEOUT ${T_TIMEOUT})
  endif()
  if(T_PROCESSORS)
    list(APPEND _props PROCESSORS ${T_PROCESSORS})
  endif()
  if(T_ASAN_OPTIONS)
    target_compile_definitions(${T_NAME} PRIVATE VANTREL_ASAN_OPTIONS="${T_ASAN_OPTIONS}")
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${_props}
    DISCOVERY_TIMEOUT 60)
  # tests_<label> builds every test program of one label, for builds that run only some labels.
  if(NOT TARGET tests_${T_LABEL})
    add_custom_target(tests_${T_LABEL})
  endif()
  add_dependencies(tests_${T_LABEL} ${T_NAME})
endfunction()

# vantrel_fuzzer(NAME n SOURCES ... LIBS ...): a libFuzzer target, built only with VANTREL_FUZZ.
# Its test (label fuzz) runs it once on every input of tests/fuzz/corpus/<base> and
# tests/fuzz/regression/<base>, where <base> is the name without "_fuzzer".
function(vantrel_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  string(REGEX REPLACE "_fuzzer$" "" _base ${F_NAME})
  add_test(NAME ${F_NAME}.replay
    COMMAND ${PROJECT_SOURCE_DIR}/tests/fuzz/replay.sh $<TARGET_FILE:${F_NAME}>
      ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${_base} ${PROJECT_SOURCE_DIR}/tests/fuzz/regression/${_base})
  set_tests_properties(${F_NAME}.replay PROPERTIES LABELS fuzz)
endfunction()
