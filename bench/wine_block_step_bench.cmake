# Cross-build tools of the benchmark and soak commands, built on request:
# the block-step benchmark under Wine (scripts/bench.sh) and the sampler of
# a running Tavrel (scripts/soak.sh).
add_executable(wine_block_step_bench EXCLUDE_FROM_ALL
               ${CMAKE_SOURCE_DIR}/bench/wine_block_step_bench.cpp ${TAVREL_RESOURCE_SCRIPT})
target_link_libraries(wine_block_step_bench PRIVATE tavrel_app fake_dsound)
target_link_options(wine_block_step_bench PRIVATE ${tavrel_link_options})

add_executable(proc_sampler EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/proc_sampler.cpp)
target_link_libraries(proc_sampler PRIVATE psapi ntdll user32 gdi32)
target_link_options(proc_sampler PRIVATE ${tavrel_link_options})

set_target_properties(wine_block_step_bench proc_sampler PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# The capture floor: Tavrel's capture session and read loop with no window.
add_executable(capture_floor EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/capture_floor.cpp)
target_link_libraries(capture_floor PRIVATE tavrel_capture)
target_link_options(capture_floor PRIVATE ${tavrel_link_options})
set_target_properties(capture_floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
