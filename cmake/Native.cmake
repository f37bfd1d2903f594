# Native build: platform-free code, its tests under sanitizers, benchmarks.
set(TAVREL_SANITIZE ON CACHE BOOL "Build native tests with ASan and UBSan")
if(TAVREL_SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(tavrel_pure PRIVATE ${sanitize_flags})
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB native_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*_test.cpp)
add_executable(native_tests ${native_tests})
target_link_libraries(native_tests PRIVATE tavrel_pure GTest::gtest_main)
find_library(FFTW3_LIB fftw3)
if(FFTW3_LIB)
  target_link_libraries(native_tests PRIVATE ${FFTW3_LIB})
  target_compile_definitions(native_tests PRIVATE TAVREL_HAVE_FFTW=1)
endif()
if(TAVREL_SANITIZE)
  target_compile_options(native_tests PRIVATE ${sanitize_flags})
  target_link_options(native_tests PRIVATE -fsanitize=address,undefined)
endif()
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60)

# Benchmarks are built without sanitizers, in their own build (scripts/bench.sh).
if(NOT TAVREL_SANITIZE AND EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
