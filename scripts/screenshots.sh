#!/usr/bin/env bash
# Screenshots for the README, from a real run: Tavrel under Wine on the
# private display, capturing a known signal from a private PulseAudio
# line-in, the windows placed side by side. Writes docs/screenshots/*.png:
# control.png, wave.png, xy.png, decibel.png, fft.png and all.png.
#
# The signal (48000 Hz): left, 1 kHz rising linearly from silence to full
# scale every 3 seconds (about one sweep of the strip charts), so the Wave
# window shows black, caution-blue and red columns; right, 440 Hz at -14 dB.
#
#   scripts/screenshots.sh
set -euo pipefail
# shellcheck source=line-in.sh
. "$(dirname "$0")/line-in.sh"
checkout_path_ok screenshots
root=$tavrel_root
cd "$root"
build=${TAVREL_BUILD_DIR:-$root/build/win}
env_dir=$root/build/screenshots-env
out=$root/docs/screenshots
key='HKCU\Software\Korvane\Tavrel'
rate=48000

if [ ! -f "$build/bin/Tavrel.exe" ]; then
  configure win "$build"
  cmake --build "$build" -j"${TAVREL_JOBS:-2}" --target Tavrel
fi

# An environment of its own, dropped afterwards: its registry and display
# hold nothing else.
scripts/wine-env.sh start "$env_dir"
# shellcheck source=/dev/null  # written by wine-env.sh start
. "$env_dir/env.sh"
work=$(mktemp -d "$env_dir/shots.XXXXXX")
tavrel=''
cleanup() {
  set +e
  [ -n "$tavrel" ] && kill "$tavrel" 2>/dev/null
  line_in_stop
  rm -rf "$work"
  scripts/wine-env.sh stop "$env_dir"
  rm -rf "$env_dir"
}
trap cleanup EXIT

line_in_start "$work" $rate
sox -D -n -r $rate -c 1 -b 16 -e signed -t raw "$work/left.raw" synth 3 sine 1000 fade t 3 0 0 2>/dev/null
sox -D -n -r $rate -c 1 -b 16 -e signed -t raw "$work/right.raw" synth 3 sine 440 vol -14dB 2>/dev/null
sox -D -M -r $rate -c 1 -b 16 -e signed -t raw "$work/left.raw" \
       -r $rate -c 1 -b 16 -e signed -t raw "$work/right.raw" -t raw "$work/signal.raw" 2>/dev/null
line_in_play "$work" $rate "$work/signal.raw"

# Side by side, at the default sizes.
declare -A place=(
  [control]="20 20 0 0" [xy]="20 150 285 304" [wave]="330 20 400 306"
  [decibel]="330 340 400 288" [fft]="750 20 400 309"
)
"$WINE" reg delete "$key" /f >/dev/null 2>&1 || true
set_value() { "$WINE" reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null; }
set_value m_CtrlDlgWindowXPos 20;  set_value m_CtrlDlgWindowYPos 20
set_value m_ResurgeWindowXPos 20;  set_value m_ResurgeWindowYPos 150
set_value m_WaveWindowXPos 330;    set_value m_WaveWindowYPos 20
set_value m_DecibelWindowXPos 330; set_value m_DecibelWindowYPos 340
set_value m_FFTWindowXPos 750;     set_value m_FFTWindowYPos 20

(cd "$build/bin" && exec "$WINE" Tavrel.exe) &
tavrel=$!
control=''
for _ in $(seq 100); do
  control=$(xdotool search --name '^Tavrel$' 2>/dev/null | head -n1) && [ -n "$control" ] && break
  sleep 0.1
done
[ -n "$control" ] || { echo "screenshots: Tavrel did not start" >&2; exit 1; }
sleep 2.5   # the title window goes after 2 s
# A click on the control dialog's body gives it the focus; Space starts.
xdotool mousemove 60 90 click 1 sleep 0.2 key space
sleep 5     # more than a whole sweep of the strip charts
xdotool mousemove 1500 1100
sleep 0.3

mkdir -p "$out"
import -display "$DISPLAY" -window root "$work/screen.png"
eval "$(xdotool getwindowgeometry --shell "$control")"
place[control]="$X $Y $WIDTH $HEIGHT"
for name in control xy wave decibel fft; do
  read -r x y w h <<<"${place[$name]}"
  convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
done
convert "$work/screen.png" -crop 1130x610+20+20 +repage "$out/all.png"

# End it as a user does; the private registry is dropped with the environment.
xdotool mousemove 60 90 click 1 sleep 0.2 key F12
wait "$tavrel" || true
tavrel=''
ls -l "$out"
