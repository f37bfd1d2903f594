#!/usr/bin/env bash
# A private Windows environment for running and testing Tavrel under Wine:
# a Wine prefix (Japanese locale), an Xvfb display, a persistent wineserver
# and a private PulseAudio server whose null sink's monitor is the capture
# device.
#
#   wine-env.sh start [DIR]   start what is missing; write DIR/env.sh
#   wine-env.sh stop  [DIR]   end what this script started in DIR
#   wine-env.sh status [DIR]  exit 0 when the environment in DIR is up
#
# DIR defaults to $TAVREL_WINE_ENV, else ./build/wine-env.
set -euo pipefail

cmd=${1:-status}
dir=${2:-${TAVREL_WINE_ENV:-$PWD/build/wine-env}}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
state=$dir/state
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
template=${TAVREL_WINE_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrel/wine-prefix-template}

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }
read_state() { [ -f "$state/$1" ] && cat "$state/$1" || true; }

common_env() {
  export WINEPREFIX=$dir/prefix WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
  export XDG_RUNTIME_DIR=$dir/pulse-runtime PULSE_SERVER=unix:$dir/pulse-runtime/pulse/native
  export PULSE_COOKIE=$dir/pulse-runtime/cookie HOME=${HOME:-/root}
}

make_template() {
  # Created once per machine under the Japanese locale, then copied: menus and
  # captions keep a Japanese charset and a new prefix costs seconds, not ten.
  [ -f "$template/.tavrel-ready-2" ] && return
  local tmp=$template.tmp.$$
  rm -rf "$tmp"; mkdir -p "$(dirname "$template")"
  (
    export WINEPREFIX=$tmp WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
    unset DISPLAY
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$wineserver" -w
    # Wine draws frames itself: focus follows windows, hides cost no 2 s wait.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
    # The dialogs' font resolves to the proportional IPA Gothic, as on
    # Windows, instead of a fixed-pitch fallback that clips the labels.
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
    "$wineserver" -w
  )
  mkdir -p "$tmp/drive_c/windows/Fonts"
  # Caption buttons are drawn with Marlett; without it they show letters.
  cp /usr/share/wine/fonts/marlett.ttf "$tmp/drive_c/windows/Fonts/"
  touch "$tmp/.tavrel-ready" "$tmp/.tavrel-ready-2"
  rm -rf "$template"; mv "$tmp" "$template"
}

start_xvfb() {
  local pid; pid=$(read_state xvfb.pid)
  if alive "$pid"; then return; fi
  local fifo=$dir/xvfb.fd; rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  echo $! > "$state/xvfb.pid"
  local display; read -r -t 20 display < "$fifo"
  rm -f "$fifo"
  echo ":$display" > "$state/display"
}

start_pulse() {
  local pid; pid=$(read_state pulse.pid)
  if alive "$pid"; then return; fi
  mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
  local rate=${TAVREL_PULSE_RATE:-48000}
  cat > "$dir/pulse.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=tavrel_line rate=$rate channels=2 sink_properties=device.description=TavrelLine
set-default-sink tavrel_line
set-default-source tavrel_line.monitor
PA
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n -F "$dir/pulse.pa" \
    --log-target=file:"$dir/pulse.log" >/dev/null 2>&1 &
  echo $! > "$state/pulse.pid"
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && return; sleep 0.1; done
  echo "wine-env: PulseAudio did not start (see $dir/pulse.log)" >&2; return 1
}

start_wineserver() {
  if "$wineserver" -k0 >/dev/null 2>&1 && [ -f "$state/wineserver.started" ]; then :; fi
  # -p keeps the server up between test processes.
  "$wineserver" -p
  touch "$state/wineserver.started"
}

write_env() {
  cat > "$dir/env.sh" <<ENV
export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 DISPLAY='$(read_state display)'
export XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR' PULSE_SERVER='$PULSE_SERVER' PULSE_COOKIE='$PULSE_COOKIE'
export TAVREL_WINE_ENV='$dir' WINE='$wine' WINESERVER='$wineserver'
ENV
}

case $cmd in
  start)
    mkdir -p "$state"
    common_env
    make_template
    [ -f "$WINEPREFIX/.tavrel-ready" ] || { rm -rf "$WINEPREFIX"; cp -a "$template" "$WINEPREFIX"; }
    start_xvfb
    export DISPLAY=$(read_state display)
    start_pulse
    start_wineserver
    # Wine's own services start with the first program and keep its output
    # open; start them here so they do not hold a test runner's pipes.
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
    write_env
    ;;
  stop)
    common_env
    if [ -f "$state/wineserver.started" ]; then "$wineserver" -k >/dev/null 2>&1 || true; rm -f "$state/wineserver.started"; fi
    for p in pulse xvfb; do
      pid=$(read_state $p.pid)
      if alive "$pid"; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
      rm -f "$state/$p.pid"
    done
    ;;
  status)
    alive "$(read_state xvfb.pid)" && alive "$(read_state pulse.pid)" && [ -f "$dir/env.sh" ]
    ;;
  *) echo "usage: wine-env.sh start|stop|status [DIR]" >&2; exit 2 ;;
esac
