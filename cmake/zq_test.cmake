# zq_test(NAME SOURCES a.cpp b.cpp LIBS lib...)
# One GoogleTest executable per test folder; every TEST becomes its own CTest case.
function(zq_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ZQ_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/../shared/fixtures"
    ZQ_PROGRAM_DIR="${ZQ_PROGRAM_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
