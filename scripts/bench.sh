#!/usr/bin/env bash
# The figures: ddct against FFTW's REDFT10 at the FFT window's sizes (native,
# optimised, no sanitizers); the whole block step with all four windows under
# Wine at 48000 and 96000 Hz, beside four bare paint cycles; and the share of
# a core that Tavrel's thread, its whole process, wineserver and Xvfb take
# while Tavrel captures a real line-in with its four windows shown, beside
# the same for the capture alone.
#
#   scripts/bench.sh [BLOCKS] [SECONDS] [ROUNDS]
#       BLOCKS per rate for the in-memory benchmark (3000); on the real
#       line-in, ROUNDS (2) of SECONDS (20) for the capture floor
#       (bench/capture_floor.cpp: Tavrel's capture and read loop, no window)
#       and then Tavrel, in turn, so that both see the same load
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
seconds=${2:-20}
rounds=${3:-2}
jobs=${TAVREL_JOBS:-2}
build=$root/build/win
env_dir=$build/wine-env

echo "== ddct against FFTW (native, Release) =="
configure bench build/bench-native
cmake --build build/bench-native -j"$jobs" --target ddct_bench >/dev/null
build/bench-native/bench/ddct_bench --benchmark_min_time=0.2

configure win "$build"
cmake --build "$build" -j"$jobs" --target Tavrel tavrel_files wine_block_step_bench proc_sampler \
  capture_floor >/dev/null
env_up "$env_dir"
key='HKCU\Software\Korvane\Tavrel'
work=$(mktemp -d "$env_dir/bench.XXXXXX")
tavrel='' floor=''
settings_aside "$key" "$work"
cleanup() {
  set +e
  trap - ERR
  [ -n "$tavrel" ] && kill "$tavrel" 2>/dev/null
  [ -n "$floor" ] && kill "$floor" 2>/dev/null
  line_in_stop
  settings_back "$key" "$work"
  rm -rf "$work"
  env_down "$env_dir"
}
trap cleanup EXIT
trap 'echo "bench: failed at line $LINENO" >&2' ERR

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
# A process of this prefix by its name (other prefixes may run the same
# program at the same time); waits up to 10 s for it.
prefix_pid() {
  local p
  for _ in $(seq 100); do
    for p in $(pgrep -x "$1"); do
      tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
        { echo "$p"; return; }
    done
    sleep 0.1
  done
  return 1
}
# Ticks of the main thread, the process, wineserver and Xvfb over $seconds.
measure() {
  local pid=$1 a b
  a="$(ticks "/proc/$pid/task/$pid/stat") $(ticks "/proc/$pid/stat") $(ticks "/proc/$server/stat")"
  a="$a $(ticks "/proc/$xvfb/stat")"
  sleep "$seconds"
  b="$(ticks "/proc/$pid/task/$pid/stat") $(ticks "/proc/$pid/stat") $(ticks "/proc/$server/stat")"
  b="$b $(ticks "/proc/$xvfb/stat")"
  echo "$a $b" | awk '{ print $5 - $1, $6 - $2, $7 - $3, $8 - $4 }'
}
# The floor: the capture alone, for the warm-up, the measure and a margin.
run_floor() {
  local rate=$1 pid
  "$WINE" "$build/bench/capture_floor.exe" "$rate" $((seconds + 7)) | tr -d '\r' >"$work/floor.txt" &
  floor=$!
  pid=$(prefix_pid capture_floor.e)
  sleep 4
  measure "$pid"
  wait "$floor"
  floor=''
}
# Tavrel from its defaults (the four windows shown at their default places)
# at the rate, started with Space and ended with F12.
run_tavrel() {
  local rate=$1 pid
  "$WINE" reg delete "$key" /f >/dev/null 2>&1 || true
  "$WINE" reg add "$key" /v m_iSamplingRate /t REG_DWORD /d "$rate" /f >/dev/null
  (cd "$build/bin" && exec "$WINE" Tavrel.exe) >/dev/null 2>&1 &
  tavrel=$!
  "$WINE" "$build/bench/proc_sampler.exe" key space >/dev/null
  pid=$(prefix_pid Tavrel.exe)
  sleep 4
  measure "$pid"
  "$WINE" "$build/bench/proc_sampler.exe" exit >/dev/null || true
  wait "$tavrel" 2>/dev/null || true
  tavrel=''
}

echo
echo "== a real line-in, $rounds rounds of $seconds s each, the floor and Tavrel in turn" \
     "(share of one core) =="
xvfb=$(cat "$env_dir/state/xvfb.pid")
server=$(wineserver_pid)
hz=$(getconf CLK_TCK)
for rate in 48000 96000; do
  line_in_start "$work/$rate" $rate
  line_in_play "$work/$rate" $rate
  : >"$work/figures"
  for _ in $(seq "$rounds"); do
    echo "floor $(run_floor $rate)" >>"$work/figures"
    echo "tavrel $(run_tavrel $rate)" >>"$work/figures"
  done
  awk -v hz="$hz" -v s="$seconds" -v rate="$rate" -v floor_line="$(cat "$work/floor.txt")" '
    function pc(t) { return sprintf("%5.1f %%", 100 * t / hz / s / n[$1]) }
    { n[$1]++; for (i = 2; i <= 5; ++i) sum[$1, i] += $i; total = $3 + $4 + $5
      if ($1 == "floor") f = total; else ratios = ratios sprintf(" %.2f", total / f) }
    END {
      printf "%d Hz         main thread    process  wineserver      Xvfb      total\n", rate
      for (k = 1; k <= 2; ++k) {
        who = k == 1 ? "floor" : "tavrel"; $1 = who
        printf "%-12s %11s %10s %11s %9s %10s\n", k == 1 ? "floor" : "Tavrel",
          pc(sum[who, 2]), pc(sum[who, 3]), pc(sum[who, 4]), pc(sum[who, 5]),
          pc(sum[who, 3] + sum[who, 4] + sum[who, 5])
        t[k] = sum[who, 3] + sum[who, 4] + sum[who, 5]
      }
      printf "Tavrel / floor: %.2f x (each round:%s)   (%s)\n", t[2] / t[1], ratios, floor_line
    }' "$work/figures"
  line_in_stop
done
echo "(machine: $(nproc) cores, $(uname -m); $("$WINE" --version 2>/dev/null || echo 'Wine ?'))"
