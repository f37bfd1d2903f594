#!/usr/bin/env bash
# Builds Tavrel and its tests, natively and for Windows, and runs every test:
# the platform-free code natively under ASan/UBSan, the rest under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

jobs=${TAVREL_JOBS:-2}
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j"$jobs"

status=0
echo "== native tests =="
ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1

echo "== tests under Wine =="
env_dir=$root/build/win/wine-env
started=0
if ! scripts/wine-env.sh status "$env_dir"; then
  scripts/wine-env.sh start "$env_dir"
  started=1
fi
stop_env() { [ $started -eq 1 ] && scripts/wine-env.sh stop "$env_dir" || true; }
trap stop_env EXIT
ctest --test-dir build/win --output-on-failure || status=1
exit $status
