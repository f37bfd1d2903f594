#!/usr/bin/env bash
# Builds Tavrel.exe and runs it under Wine.
#
# With a desktop (DISPLAY set) and a reachable sound server, Tavrel uses them.
# Otherwise it runs on a private Xvfb display with a private PulseAudio whose
# line-in plays a demo signal (1 kHz at -6 dB left, 440 Hz at -20 dB right),
# and a screenshot of the screen is written every few seconds to
# build/run/screen.png.
#
#   TAVREL_RUN_SECONDS=N  end Tavrel normally (F12) after N seconds
#   TAVREL_RUN_CAPTURE=1  press Space once started, so capture begins
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j"${TAVREL_JOBS:-2}" --target Tavrel tavrel_files
exe=$root/build/win/bin/Tavrel.exe
run_dir=$root/build/run
mkdir -p "$run_dir"

private=1
if [ -n "${DISPLAY:-}" ] && pactl info >/dev/null 2>&1; then private=0; fi

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ $private -eq 1 ] && scripts/wine-env.sh stop "$run_dir/env" || true
}
trap cleanup EXIT

if [ $private -eq 1 ]; then
  scripts/wine-env.sh start "$run_dir/env"
  # shellcheck disable=SC1091
  . "$run_dir/env/env.sh"
  sox -n -r 48000 -c 2 -b 16 -e signed -t raw "$run_dir/demo.raw" \
      synth 10 sine 1000 sine 440 gain -n 0 remix 1v0.5 2v0.1 2>/dev/null
  ( while true; do pacat --playback --device=tavrel_line --format=s16le --rate=48000 \
      --channels=2 --raw "$run_dir/demo.raw" || sleep 1; done ) &
  pids+=($!)
  ( while sleep 3; do import -display "$DISPLAY" -window root "$run_dir/screen.tmp.png" 2>/dev/null \
      && mv "$run_dir/screen.tmp.png" "$run_dir/screen.png"; done ) &
  pids+=($!)
  echo "Tavrel runs on a private display $DISPLAY with a demo signal on its line-in."
  echo "A screenshot is written every 3 seconds to $run_dir/screen.png"
else
  export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/tavrel/wine-prefix}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  echo "Tavrel runs on display $DISPLAY with the desktop's sound server (prefix $WINEPREFIX)."
fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
"$wine" "$exe" &
tavrel=$!

# The control dialog; the title window carries the same caption for its
# first two seconds, so ask again each time.
control_dialog() { xdotool search --name '^Tavrel$' 2>/dev/null | tail -n1; }
press() {
  local win; win=$(control_dialog)
  [ -n "$win" ] && { xdotool windowactivate --sync "$win" key "$1" 2>/dev/null \
                     || xdotool key --window "$win" "$1" 2>/dev/null || true; }
}
if [ "${TAVREL_RUN_CAPTURE:-0}" = 1 ] || [ -n "${TAVREL_RUN_SECONDS:-}" ]; then
  sleep 3   # the title window goes after 2 s
  [ "${TAVREL_RUN_CAPTURE:-0}" = 1 ] && press space
  if [ -n "${TAVREL_RUN_SECONDS:-}" ]; then
    sleep "$TAVREL_RUN_SECONDS"
    [ $private -eq 1 ] && import -display "$DISPLAY" -window root "$run_dir/screen.png" 2>/dev/null || true
    press F12
  fi
fi
code=0
wait $tavrel || code=$?
echo "Tavrel exited with code $code"
