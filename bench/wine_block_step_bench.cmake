# The block-step benchmark under Wine (cross build only). Hook it in with
#   include(${CMAKE_SOURCE_DIR}/bench/wine_block_step_bench.cmake)
# at the end of cmake/Windows.cmake, or without touching any file with
#   -DCMAKE_PROJECT_Tavrel_INCLUDE=<source>/bench/wine_block_step_bench.cmake
# Build: cmake --build <dir> --target wine_block_step_bench
# Run:   <source>/scripts/wine-run.sh <dir>/bench/wine_block_step_bench.exe [blocks]
#        (TAVREL_WINE_ENV=<dir>/wine-env)
if(WIN32)
  add_executable(wine_block_step_bench EXCLUDE_FROM_ALL
                 ${CMAKE_SOURCE_DIR}/bench/wine_block_step_bench.cpp
                 ${CMAKE_SOURCE_DIR}/res/tavrel.rc)
  # wine_test_support brings the in-memory DirectSound capture double.
  target_link_libraries(wine_block_step_bench PRIVATE wine_test_support)
  target_link_options(wine_block_step_bench PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(wine_block_step_bench PROPERTIES
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()
