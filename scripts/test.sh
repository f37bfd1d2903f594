#!/usr/bin/env bash
# Builds Tavrel and its tests, natively and for Windows, and runs every test:
# the platform-free code natively under ASan/UBSan, the rest under Wine.
set -euo pipefail
# shellcheck source=tavrel-lib.sh
. "$(dirname "$0")/tavrel-lib.sh"
checkout_path_ok test
cd "$tavrel_root"
bash scripts/setup.sh

jobs=${TAVREL_JOBS:-2}
configure native build/native
cmake --build build/native -j"$jobs"
configure win build/win
cmake --build build/win -j"$jobs"

status=0
echo "== native tests =="
ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1

echo "== tests under Wine =="
env_dir=$tavrel_root/build/win/wine-env
trap 'env_down "$env_dir"' EXIT
env_up "$env_dir"
ctest --test-dir build/win --output-on-failure || status=1
exit $status
