#!/usr/bin/env bash
# The figures: ddct against FFTW's REDFT10 at the FFT window's sizes (native,
# optimised, no sanitizers), and the whole block step with all four windows
# under Wine at 48000 and 96000 Hz (median, p99, CPU share of a core).
#
#   scripts/bench.sh [BLOCKS]      blocks per rate for the Wine benchmark (3000)
#
# Builds into build/bench-native and build/win; uses the Wine environment of
# build/win (started and stopped here when it is not already up).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
blocks=${1:-3000}
jobs=${TAVREL_JOBS:-2}

echo "== ddct against FFTW (native, Release) =="
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DTAVREL_SANITIZE=OFF >/dev/null
cmake --build build/bench-native -j"$jobs" --target ddct_bench >/dev/null
build/bench-native/bench/ddct_bench --benchmark_min_time=0.2

echo
echo "== block step under Wine, four windows shown =="
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j"$jobs" --target wine_block_step_bench >/dev/null
TAVREL_WINE_ENV=$root/build/win/wine-env \
  scripts/wine-run.sh build/win/bench/wine_block_step_bench.exe "$blocks" | tr -d '\r'
echo "(machine: $(nproc) cores, $(uname -m); Wine $(${WINE:-wine64} --version 2>/dev/null || echo '?'))"
