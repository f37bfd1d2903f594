#!/usr/bin/env bash
# A private Windows environment for running and testing Tavrel under Wine:
# a Wine prefix (Japanese locale), an Xvfb display, a persistent wineserver
# and a private PulseAudio server whose null sink's monitor is the capture
# device. It also makes the desktop run's own prefix, by the same recipe.
#
#   wine-env.sh start [DIR]   start what is missing; write DIR/env.sh
#   wine-env.sh stop  [DIR]   end what this script started in DIR
#   wine-env.sh status [DIR]  exit 0 when the environment in DIR is up
#   wine-env.sh prefix DIR    make a prefix at DIR for a desktop, unless it is there
#
# DIR defaults to $TAVREL_WINE_ENV, else ./build/wine-env; DIR/state keeps
# what runs. What has a length limit (the sound server's socket, the
# display's pipe) is in a short folder of its own, removed at the stop, so
# DIR may lie anywhere: DIR/env.sh holds it as XDG_RUNTIME_DIR.
set -euo pipefail

cmd=${1:-status}
dir=${2:-${TAVREL_WINE_ENV:-$PWD/build/wine-env}}
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
template=${TAVREL_WINE_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrel/wine-prefix-template}

# shellcheck source=tavrel-lib.sh
. "$(dirname "$0")/tavrel-lib.sh"
read_state() { if [ -f "$state/$1" ]; then cat "$state/$1"; fi; }

# The environment's variables, written to DIR/env.sh too. Its sound server's
# socket and runtime files are in a short folder of its own (state/short):
# its path, in PULSE_SERVER, has no spaces, which libpulse would read as a
# list of servers.
common_env() {
  unset PULSE_RUNTIME_PATH PULSE_STATE_PATH PULSE_CONFIG_PATH PULSE_SINK PULSE_SOURCE \
        PULSE_CLIENTCONFIG PULSE_PROP
  wine_vars "$dir/prefix"
  local short; short=$(read_state short)
  export XDG_RUNTIME_DIR=$short PULSE_SERVER=unix:$short/pulse/native
  export PULSE_COOKIE=$short/cookie HOME=${HOME:-/root}
}

# make_prefix DIR MANAGED: a prefix created under the Japanese locale, so
# menus and captions keep a Japanese charset; copied from the template when
# there is one (2 s), else made (about 10 s). MANAGED=Y lets the window
# manager frame the windows (a desktop); N has Wine draw them itself.
make_prefix() {
  local target=$1 managed=$2 tmp=$1.tmp.$$
  rm -rf "$tmp"; mkdir -p "$(dirname "$target")"
  if [ "$target" != "$template" ] && [ -f "$template/.tavrel-ready-2" ]; then
    cp -a "$template" "$tmp"
  fi
  (
    wine_vars "$tmp"
    unset DISPLAY
    reg() { "$wine" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
    if [ ! -f "$tmp/.tavrel-ready-2" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      "$wineserver" -w
      reg 'HKCU\Software\Wine\X11 Driver' Decorated Y
      # The dialogs' font resolves to the proportional IPA Gothic, as on
      # Windows, instead of a fixed-pitch fallback that clips the labels.
      reg 'HKCU\Software\Wine\Fonts\Replacements' 'ＭＳ Ｐゴシック' IPAPGothic
      reg 'HKCU\Software\Wine\Fonts\Replacements' 'ＭＳ ゴシック' IPAGothic
      # Caption buttons are drawn with Marlett; without it they show letters.
      mkdir -p "$tmp/drive_c/windows/Fonts"
      cp /usr/share/wine/fonts/marlett.ttf "$tmp/drive_c/windows/Fonts/"
    fi
    reg 'HKCU\Software\Wine\X11 Driver' Managed "$managed"
    "$wineserver" -w
  )
  touch "$tmp/.tavrel-ready" "$tmp/.tavrel-ready-2"
  rm -rf "$target"; mv "$tmp" "$target"
}

# The template, made once per machine and copied: a test prefix costs
# seconds, not ten. Managed=N: with no window manager, focus follows the
# windows and hiding one costs no 2 s wait.
make_template() {
  [ -f "$template/.tavrel-ready-2" ] && return
  echo "wine-env: making the Wine prefix template in $template (once; up to 15 s)"
  make_prefix "$template" N
}

start_xvfb() {
  local pid; pid=$(read_state xvfb.pid)
  if alive "$pid"; then return; fi
  local fifo=$XDG_RUNTIME_DIR/xvfb.fd; rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  echo $! > "$state/xvfb.pid"; started+=(xvfb)
  local display=''; read -r -t 20 display < "$fifo" || true
  rm -f "$fifo"
  [ -n "$display" ] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
  echo ":$display" > "$state/display"
}

start_pulse() {
  if alive "$(read_state pulse.pid)"; then return; fi
  local ok=0
  pulse_start "$XDG_RUNTIME_DIR" "$dir" "${TAVREL_PULSE_RATE:-48000}" && ok=1
  echo "$pulse_pid" > "$state/pulse.pid"; started+=(pulse)
  [ $ok -eq 1 ] || { echo "wine-env: PulseAudio did not start (see $dir/pulse.log)" >&2; return 1; }
}

start_wineserver() {
  # -p keeps the server up between test processes. Exit code 2: one is up
  # already (a start that only brings back the sound server); it is kept.
  local rc=0
  "$wineserver" -p || rc=$?
  [ $rc -eq 2 ] && return
  [ $rc -eq 0 ] || return $rc
  touch "$state/wineserver.started"; started+=(wineserver)
}

# stop_parts PART...: end these parts (wineserver, pulse, xvfb) if running;
# short removes the short folder.
stop_parts() {
  local p pid
  for p in "$@"; do
    if [ "$p" = wineserver ]; then
      [ -f "$state/wineserver.started" ] && { "$wineserver" -k >/dev/null 2>&1 || true; }
      rm -f "$state/wineserver.started"
    elif [ "$p" = short ]; then
      pid=$(read_state short)
      # Only a folder short_dir made: the state may have been edited.
      [[ $pid =~ /tavrel\.[A-Za-z0-9]{6}$ ]] && rm -rf "$pid"
      rm -f "$state/short"
    else
      pid=$(read_state "$p.pid")
      alive "$pid" && kill "$pid" 2>/dev/null
      # A child of this shell is reaped; another one is waited for a while.
      wait "$pid" 2>/dev/null || for _ in $(seq 50); do alive "$pid" || break; sleep 0.1; done
      rm -f "$state/$p.pid"
    fi
  done
}

# Single quotes, each ' inside as '\'': any path reads back as it was, in
# bash and in sh alike.
quote() { local s=${1//\'/\'\\\'\'}; printf "'%s'" "$s"; }

write_env() {
  local v
  {
    echo "unset PULSE_RUNTIME_PATH PULSE_STATE_PATH PULSE_CONFIG_PATH PULSE_SINK PULSE_SOURCE PULSE_CLIENTCONFIG PULSE_PROP LANGUAGE WINELOADER WINEDLLPATH"
    for v in WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES LC_ALL LANG DISPLAY XDG_RUNTIME_DIR \
             PULSE_SERVER PULSE_COOKIE; do
      echo "export $v=$(quote "${!v}")"
    done
    echo "export TAVREL_WINE_ENV=$(quote "$dir") WINE=$(quote "$wine") WINESERVER=$(quote "$wineserver")"
  } > "$dir/env.sh"
}

if [ "$cmd" = prefix ]; then
  [ -n "${2:-}" ] || { echo "usage: wine-env.sh prefix DIR" >&2; exit 2; }
  [ -f "$dir/.tavrel-ready-2" ] && exit 0
  echo "wine-env: making Tavrel's Wine prefix in $dir (once; up to 15 s)"
  make_prefix "$dir" Y
  exit 0
fi

# A prefix's deepest files lie some 130 bytes below it, and no path may
# pass Linux's 4096 bytes.
bytes=$(printf %s "$dir" | wc -c)
[ "$bytes" -le 3800 ] || { echo "wine-env: $dir is $bytes bytes long, too long for a Wine prefix inside it (at most 3800): choose a shorter folder" >&2; exit 1; }
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
state=$dir/state
case $cmd in
  start)
    mkdir -p "$state"
    # A start that fails ends what it started, and only that, last first:
    # the sound server writes into the short folder as it ends.
    started=()
    undo() { local i; for ((i = ${#started[@]} - 1; i >= 0; i--)); do stop_parts "${started[i]}"; done; }
    trap '[ $? -eq 0 ] || undo' EXIT
    trap 'exit 1' INT TERM HUP PIPE
    if [ ! -d "$(read_state short)" ]; then short_dir > "$state/short"; started+=(short); fi
    common_env
    start_xvfb
    DISPLAY=$(read_state display); export DISPLAY
    start_pulse
    make_template
    [ -f "$WINEPREFIX/.tavrel-ready" ] || { rm -rf "$WINEPREFIX"; cp -a "$template" "$WINEPREFIX"; }
    start_wineserver
    # Wine's own services start with the first program and keep its output
    # open; start them here so they do not hold a test runner's pipes.
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
    write_env
    ;;
  stop)
    common_env
    stop_parts wineserver pulse xvfb short
    ;;
  status)
    alive "$(read_state xvfb.pid)" && alive "$(read_state pulse.pid)" && [ -f "$dir/env.sh" ]
    ;;
  *) echo "usage: wine-env.sh start|stop|status|prefix [DIR]" >&2; exit 2 ;;
esac
