# Cross build: Tavrel.exe, the files beside it, and the tests run under Wine.

# A static program needs only DLLs every Windows has.
set(tavrel_link_options -static -static-libgcc -static-libstdc++)

# Everything a user copies to a Windows machine lands in this one folder.
set(TAVREL_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(TAVREL_RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/res/tavrel.rc)
set_source_files_properties(${TAVREL_RESOURCE_SCRIPT} PROPERTIES COMPILE_OPTIONS "-c;65001")

add_executable(Tavrel WIN32 app/main.cpp ${TAVREL_RESOURCE_SCRIPT})
target_link_libraries(Tavrel PRIVATE tavrel_app)
target_link_options(Tavrel PRIVATE ${tavrel_link_options}
                    # A release is the same bytes whenever it is built: no time stamp, no symbols.
                    $<$<CONFIG:Release>:-s;-Wl,--no-insert-timestamp>)
set_target_properties(Tavrel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TAVREL_BIN_DIR})

include(${CMAKE_SOURCE_DIR}/res/files.cmake)

# GoogleTest from Debian's sources, cross-compiled.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

add_subdirectory(tests/wine)
add_subdirectory(tests/e2e)
# The desktop run command as a user meets it: a shell test, no emulator.
add_test(NAME desktop.run COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/desktop_run_test.sh)
set_tests_properties(desktop.run PROPERTIES TIMEOUT 170)
# The test environment from a checkout at a long path with a space and Japanese text.
add_test(NAME env.long_path COMMAND bash ${CMAKE_SOURCE_DIR}/tests/env/env_path_test.sh)
set_tests_properties(env.long_path PROPERTIES TIMEOUT 60)
# The release zip as a Windows user unpacks it, two release builds compared;
# the menu entry a Linux desktop user installs and removes.
add_test(NAME release.zip COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/release_test.sh)
set_tests_properties(release.zip PROPERTIES TIMEOUT 300
    ENVIRONMENT "TAVREL_WINE_ENV=${CMAKE_BINARY_DIR}/wine-env")
add_test(NAME desktop.install COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/install_test.sh)
set_tests_properties(desktop.install PROPERTIES TIMEOUT 60)

include(${CMAKE_SOURCE_DIR}/bench/wine_block_step_bench.cmake)
