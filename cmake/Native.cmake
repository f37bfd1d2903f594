# Native build: platform-free code, its tests under sanitizers, benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB native_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*_test.cpp)
add_executable(native_tests ${native_tests})
target_link_libraries(native_tests PRIVATE tavrel_core tavrel_analysis tavrel_capture
                      tavrel_windows tavrel_dialogs GTest::gtest_main)
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60)

# Every shell script and shell test, with what it sources, as shellcheck reads it.
file(GLOB_RECURSE tavrel_shell_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scripts/*.sh
     ${CMAKE_SOURCE_DIR}/tests/*.sh)
add_test(NAME native.shellcheck COMMAND shellcheck -x --source-path=SCRIPTDIR ${tavrel_shell_scripts})

# Benchmarks are built without sanitizers, in their own build (scripts/bench.sh).
if(NOT TAVREL_SANITIZE)
  add_subdirectory(bench)
endif()
