# The native tree: qwilcore's unit tests, qwilbench and the benchmark file generator.

find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(qwilcore_tests ${QWIL_TEST_SOURCES})
target_sources(qwilcore_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/testmain.cpp)
target_link_libraries(qwilcore_tests PRIVATE qwilcore GTest::gtest)
target_include_directories(qwilcore_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# Discovery at test time keeps the build free of sanitizer runs; every test runs
# as its own process, so one crash names its test. A skipped one ends with 77
# (tests/testmain.cpp).
gtest_discover_tests(qwilcore_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES SKIP_RETURN_CODE 77
                     ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1")
# Their temporary files live in this tree's own folder (unless TEST_TMPDIR names
# another), so that two trees running the same tests at once never meet in /tmp.
target_compile_definitions(qwilcore_tests PRIVATE QWIL_TEST_TMPDIR="${CMAKE_BINARY_DIR}/tmp")

file(GLOB QWIL_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/bench_*.cpp)
add_executable(qwilbench ${CMAKE_SOURCE_DIR}/bench/qwilbench.cpp ${QWIL_BENCH_SOURCES})
target_link_libraries(qwilbench PRIVATE qwilcore)
target_compile_options(qwilbench PRIVATE -fno-exceptions -fno-rtti)

add_executable(qwilgen ${CMAKE_SOURCE_DIR}/bench/qwilgen.cpp)
target_compile_options(qwilgen PRIVATE -fno-exceptions -fno-rtti)

# The benchmark drivers are checked too: a generated file loads and round-trips.
add_test(NAME bench.tools
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check_bench.sh $<TARGET_FILE:qwilgen> $<TARGET_FILE:qwilbench>
                 ${CMAKE_BINARY_DIR}/bench-check)

# The includes between the folders run only downwards and no two modules use
# each other (the floors are in the README's folder table).
add_test(NAME layers COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/scripts/check_layers.py ${CMAKE_SOURCE_DIR})
