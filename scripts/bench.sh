#!/usr/bin/env bash
# The figures: ddct against FFTW's REDFT10 at the FFT window's sizes (native,
# optimised, no sanitizers); the whole block step with all four windows under
# Wine at 48000 and 96000 Hz, beside four bare paint cycles; and the share of
# a core that Tavrel's thread, its whole process, wineserver and Xvfb take
# while Tavrel captures a real line-in with its four windows shown.
#
#   scripts/bench.sh [BLOCKS] [SECONDS]   blocks per rate for the in-memory
#                                         benchmark (3000), seconds of each
#                                         real capture (60)
#
# Builds into build/bench-native and build/win; uses the Wine environment of
# build/win (started and stopped here when it is not already up).
set -euo pipefail
# shellcheck source=line-in.sh
. "$(dirname "$0")/line-in.sh"
checkout_path_ok bench
root=$tavrel_root
cd "$root"
blocks=${1:-3000}
seconds=${2:-60}
jobs=${TAVREL_JOBS:-2}
build=$root/build/win
env_dir=$build/wine-env

echo "== ddct against FFTW (native, Release) =="
configure bench build/bench-native
cmake --build build/bench-native -j"$jobs" --target ddct_bench >/dev/null
build/bench-native/bench/ddct_bench --benchmark_min_time=0.2

configure win "$build"
cmake --build "$build" -j"$jobs" --target Tavrel tavrel_files wine_block_step_bench proc_sampler >/dev/null
env_up "$env_dir"
key='HKCU\Software\Korvane\Tavrel'
work=$(mktemp -d "$env_dir/bench.XXXXXX")
tavrel=''
settings_aside "$key" "$work"
cleanup() {
  set +e
  [ -n "$tavrel" ] && kill "$tavrel" 2>/dev/null
  line_in_stop
  settings_back "$key" "$work"
  rm -rf "$work"
  env_down "$env_dir"
}
trap cleanup EXIT

echo
echo "== block step under Wine on the in-memory capture, four windows shown =="
"$WINE" "$build/bench/wine_block_step_bench.exe" "$blocks" detail | tr -d '\r'

# Clock ticks (utime + stime) of a /proc stat file.
ticks() { awk '{ print $14 + $15 }' "$1" 2>/dev/null || echo 0; }
# The prefix's wineserver works in a folder named after the prefix's device
# and inode.
wineserver_pid() {
  local p folder
  folder=$(stat -c 'server-%d-%i' "$WINEPREFIX" | awk -F- '{ printf "server-%x-%x", $2, $3 }')
  for p in $(pgrep -f wineserver); do
    if [ "$(basename "$(readlink "/proc/$p/cwd")")" = "$folder" ]; then echo "$p"; fi
  done | head -n1
}

echo
echo "== a real line-in for $seconds s, four windows shown (share of one core) =="
xvfb=$(cat "$env_dir/state/xvfb.pid")
server=$(wineserver_pid)
hz=$(getconf CLK_TCK)
for rate in 48000 96000; do
  line_in_start "$work/$rate" $rate
  line_in_play "$work/$rate" $rate
  "$WINE" reg delete "$key" /f >/dev/null 2>&1 || true
  # The four windows apart on the screen, as on a desktop.
  for v in m_iSamplingRate=$rate m_CtrlDlgWindowXPos=900 m_WaveWindowXPos=10 m_WaveWindowYPos=10 \
           m_ResurgeWindowXPos=430 m_ResurgeWindowYPos=10 m_DecibelWindowXPos=10 \
           m_DecibelWindowYPos=340 m_FFTWindowXPos=430 m_FFTWindowYPos=340; do
    "$WINE" reg add "$key" /v "${v%%=*}" /t REG_DWORD /d "${v#*=}" /f >/dev/null
  done
  (cd "$build/bin" && exec "$WINE" Tavrel.exe) &
  tavrel=$!
  "$WINE" "$build/bench/proc_sampler.exe" key space >/dev/null
  sleep 5
  pid=$(pgrep -x Tavrel.exe | head -n1)
  read -r t0 p0 s0 x0 < <(echo "$(ticks "/proc/$pid/task/$pid/stat") $(ticks "/proc/$pid/stat") \
$(ticks "/proc/$server/stat") $(ticks "/proc/$xvfb/stat")")
  sleep "$seconds"
  read -r t1 p1 s1 x1 < <(echo "$(ticks "/proc/$pid/task/$pid/stat") $(ticks "/proc/$pid/stat") \
$(ticks "/proc/$server/stat") $(ticks "/proc/$xvfb/stat")")
  share() { awk -v d="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f %%", 100 * d / hz / s }'; }
  echo "$rate Hz: Tavrel's thread $(share $((t1 - t0))), its process $(share $((p1 - p0)))," \
       "wineserver $(share $((s1 - s0))), Xvfb $(share $((x1 - x0)));" \
       "the whole system $(share $((p1 - p0 + s1 - s0 + x1 - x0)))"
  "$WINE" "$build/bench/proc_sampler.exe" exit >/dev/null || true
  wait "$tavrel" 2>/dev/null || true
  tavrel=''
  line_in_stop
done
echo "(machine: $(nproc) cores, $(uname -m); $("$WINE" --version 2>/dev/null || echo 'Wine ?'))"
