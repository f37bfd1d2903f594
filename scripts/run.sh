#!/usr/bin/env bash
# Builds Tavrel.exe and runs it under Wine.
#
# On a desktop (DISPLAY set): Tavrel opens there, in a Wine prefix of its own
# under the user's data folder (made on the first run, kept afterwards), and
# captures from the desktop's default source through its sound server
# (PulseAudio or PipeWire's pipewire-pulse).
# With no display: a private Xvfb display and PulseAudio whose line-in plays
# a demo signal (1 kHz at -6 dB left, 440 Hz at -20 dB right); capture starts
# by itself and a screenshot is written every 3 seconds to build/run/screen.png.
#
#   TAVREL_RUN_CAPTURE=0|1  press Space once Tavrel is up (default: 1 headless, 0 desktop)
#   TAVREL_RUN_SECONDS=N    end Tavrel normally (F12) after N seconds
#   WINE                    the wine64 to use (default: on PATH, else Debian's)
set -euo pipefail
# shellcheck source=line-in.sh
. "$(dirname "$0")/line-in.sh"
root=$tavrel_root
cd "$root"
fail() { echo "run: $*" >&2; exit 1; }
checkout_path_ok run || exit 1

bash scripts/setup.sh || echo "run: scripts/setup.sh failed; checking what is missing" >&2

# What is missing is said in one line, before anything is built or started.
if [ -z "${DISPLAY:-}" ]; then
  desktop=0
  echo "run: no display (DISPLAY is not set): running headless on a private display with a demo signal"
else
  desktop=1
fi
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
[ -x "$wine" ] || fail "Wine is missing (no $wine): install Debian's wine64 package (scripts/setup.sh does)"
# What Wine will see: without the locale its code page is 1252, not 932.
[ "$(LC_ALL=ja_JP.UTF-8 locale charmap 2>/dev/null)" = UTF-8 ] \
  || fail "the ja_JP.UTF-8 locale is missing: enable it in /etc/locale.gen and run locale-gen (scripts/setup.sh does)"
if [ $desktop -eq 1 ]; then
  xdpyinfo >/dev/null 2>&1 \
    || fail "cannot open display $DISPLAY: log in to the desktop (or check XAUTHORITY), or unset DISPLAY for the headless run"
  pactl info >/dev/null 2>&1 \
    || fail "no sound server reachable from this desktop (pactl info fails): start PulseAudio or PipeWire's pipewire-pulse, or unset DISPLAY for the headless run"
fi

[ -f build/win/CMakeCache.txt ] || configure win build/win
cmake --build build/win -j"${TAVREL_JOBS:-2}" --target Tavrel tavrel_files >/dev/null
exe=$root/build/win/bin/Tavrel.exe
run_dir=$root/build/run
mkdir -p "$run_dir"

tavrel='' loops=()
# shellcheck disable=SC2317  # the EXIT trap calls it
cleanup() {
  set +e
  # The loops run in sessions of their own: end each with its children.
  for p in "${loops[@]}"; do kill -- "-$p" 2>/dev/null; done
  if [ "$desktop" -eq 0 ]; then scripts/wine-env.sh stop "$run_dir/env"
  elif [ -n "$tavrel" ]; then
    # Tavrel's own prefix: end it if it still runs, and let Wine's services
    # end with the prefix's wineserver, so nothing stays behind.
    kill -0 "$tavrel" 2>/dev/null && { kill "$tavrel"; "$wineserver" -k; }
    timeout 10 "$wineserver" -w
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

if [ $desktop -eq 0 ]; then
  capture=${TAVREL_RUN_CAPTURE:-1}
  WINE=$wine WINESERVER=$wineserver scripts/wine-env.sh start "$run_dir/env"
  # shellcheck source=/dev/null  # written by wine-env.sh start
  . "$run_dir/env/env.sh"
  demo_signal "$run_dir/demo.raw" 48000 10
  # shellcheck disable=SC2016  # $0 is the child's argument
  setsid bash -c 'while pacat --playback --device=tavrel_line --format=s16le --rate=48000 \
      --channels=2 --raw "$0" 2>/dev/null; do :; done' "$run_dir/demo.raw" &
  loops+=($!)
  # shellcheck disable=SC2016  # $0 is the child's argument
  setsid bash -c 'while sleep 3; do import -display "$DISPLAY" -window root "$0.tmp.png" 2>/dev/null \
      && mv "$0.tmp.png" "$0"; done' "$run_dir/screen.png" &
  loops+=($!)
  echo "Tavrel runs on a private display $DISPLAY with a demo signal on its line-in."
  echo "A screenshot is written every 3 seconds to $run_dir/screen.png"
  "$wine" "$exe" &
  tavrel=$!
else
  capture=${TAVREL_RUN_CAPTURE:-0}
  # Tavrel's own prefix, whatever WINEPREFIX the shell holds.
  export WINEPREFIX=${XDG_DATA_HOME:-$HOME/.local/share}/tavrel/wine-prefix
  WINE=$wine WINESERVER=$wineserver scripts/wine-env.sh prefix "$WINEPREFIX"
  echo "Tavrel runs on display $DISPLAY with the desktop's sound server (prefix $WINEPREFIX)."
  # The Japanese locale for Tavrel alone: code page 932 whatever the user's.
  (wine_vars "$WINEPREFIX"; exec "$wine" "$exe") &
  tavrel=$!
fi

# A window manager activates the window; with none, Wine gives it the focus.
press() {
  if [ $desktop -eq 1 ]; then xdotool windowactivate --sync "$dialog" key "$1"
  else xdotool windowfocus --sync "$dialog" key "$1"; fi || fail "could not send $1 to Tavrel"
}
if [ "$capture" = 1 ] || [ -n "${TAVREL_RUN_SECONDS:-}" ]; then
  # Tavrel ending by itself is reported below with its exit code.
  if dialog=$(control_dialog "$tavrel" 15); then
    [ "$capture" = 1 ] && press space && echo "Capture started (Space)."
    if [ -n "${TAVREL_RUN_SECONDS:-}" ]; then
      sleep "$TAVREL_RUN_SECONDS"
      [ $desktop -eq 0 ] && { import -display "$DISPLAY" -window root "$run_dir/screen.png" 2>/dev/null || true; }
      press F12
      for _ in $(seq 150); do alive "$tavrel" || break; sleep 0.1; done
      alive "$tavrel" && fail "Tavrel did not end within 15 s of F12"
    fi
  elif alive "$tavrel"; then
    fail "Tavrel's control dialog did not show within 15 s"
  fi
fi
code=0
wait "$tavrel" || code=$?
echo "Tavrel exited with code $code"
exit $code
