# The tests, the benchmarks and the fuzz targets: included only with SOLVANE_BUILD_TESTS, so a
# package build needs none of their libraries.
enable_testing()
include(GoogleTest)
file(GLOB_RECURSE TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER TEST_SOURCES EXCLUDE REGEX "/tests/fuzz/")
add_executable(solvane-tests ${TEST_SOURCES})
target_link_libraries(solvane-tests PRIVATE solvane_core solvane_config Qt6::Test GTest::gtest GTest::gmock
  X11::Xss)
# The https tests load the TLS module from beside the test executable.
add_dependencies(solvane-tests solvane-tls)
target_compile_definitions(solvane-tests PRIVATE
  SOLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SOLVANE_BINARY_DIR="${CMAKE_BINARY_DIR}"
  SOLVANE_MODULE_DIR="${module_dir}")
gtest_discover_tests(solvane-tests DISCOVERY_TIMEOUT 120
  PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy;ALSA_CONFIG_PATH=/dev/null" TIMEOUT 300)
# The hack under the real screensaver daemon, as an ordinary user it makes (needs root).
add_test(NAME XScreenSaverRunsTheHack
  COMMAND ${CMAKE_SOURCE_DIR}/tests/desktop/xscreensaver_hack.sh ${CMAKE_BINARY_DIR})
set_tests_properties(XScreenSaverRunsTheHack PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
# The saver on the monitor shapes people own, read back from screenshots by tesseract.
add_test(NAME SaverFillsMonitorShapes
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/desktop/monitor_shapes.py $<TARGET_FILE:solvane>
          ${CMAKE_BINARY_DIR}/monitor-shapes)
set_tests_properties(SaverFillsMonitorShapes PROPERTIES TIMEOUT 300
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")

file(GLOB_RECURSE BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(BENCH_SOURCES)
  add_executable(solvane-bench ${BENCH_SOURCES})
  target_link_libraries(solvane-bench PRIVATE solvane_core solvane_config benchmark::benchmark
    benchmark::benchmark_main EXPAT::EXPAT)
endif()

if(SOLVANE_FUZZ)
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*.cpp)
  foreach(fuzz_src ${FUZZ_SOURCES})
    get_filename_component(fuzz_name ${fuzz_src} NAME_WE)
    add_executable(fuzz-${fuzz_name} ${fuzz_src})
    target_compile_options(fuzz-${fuzz_name} PRIVATE -fsanitize=fuzzer,address)
    target_link_options(fuzz-${fuzz_name} PRIVATE -fsanitize=fuzzer,address)
    target_link_libraries(fuzz-${fuzz_name} PRIVATE solvane_core)
  endforeach()
endif()
