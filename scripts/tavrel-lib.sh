# shellcheck shell=bash
# Shell functions the scripts and the shell tests share; sourced.

# The checkout this file belongs to, wherever it lies.
tavrel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# A child that has ended stays a zombie until reaped: not alive.
alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null && ! grep -qs '^State:.*Z' "/proc/$1/status"; }

# wait_for SECONDS COMMAND...: until COMMAND succeeds; fails after SECONDS.
wait_for() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.1; done
}

# checkout_path_ok NAME: fails with one line, said as NAME, when Wine cannot
# take the checkout's path. Tavrel and the tests under Wine name their files
# in the Japanese code page (CP932), and a program finds the files beside it
# only within Windows' 260-byte path limit: "Z:", the path and the deepest
# program's "/build/win/bench/wine_block_step_bench.exe" must stay under it.
checkout_path_ok() {
  local cp932
  if ! cp932=$(printf '%s' "$tavrel_root" | iconv -f UTF-8 -t CP932 2>/dev/null | wc -c); then
    echo "$1: the checkout's path ($tavrel_root) holds characters that Wine's Japanese code page (CP932) cannot name: clone it into a folder whose path has none" >&2
    return 1
  elif [ "$cp932" -gt 220 ]; then
    echo "$1: the checkout's path is $cp932 bytes under Wine, over the 220 that keep the programs in build/win within Windows' 260-byte path limit: clone it into a shorter path" >&2
    return 1
  fi
}

# configure KIND BUILD [SOURCE]: the CMake configure step of one of the
# builds: win (the cross build), native (tests under ASan/UBSan) or bench
# (native, optimised, no sanitizers). SOURCE is this checkout by default.
configure() {
  local src=${3:-$tavrel_root}
  case $1 in
    win) set -- "$2" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" ;;
    native) set -- "$2" -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON ;;
    bench) set -- "$2" -DCMAKE_BUILD_TYPE=Release -DTAVREL_SANITIZE=OFF ;;
  esac
  cmake -S "$src" -B "$@" >/dev/null
}

# wine_vars PREFIX: what Wine needs for Tavrel, and nothing of the caller's
# that would redirect it: a 64-bit prefix, no debug output, no installer
# prompts, and the Japanese locale (code page 932).
wine_vars() {
  unset LANGUAGE WINELOADER WINEDLLPATH
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
}

# env_up DIR: the Wine environment in DIR, started unless it is up already
# (then env_down leaves it running); its variables are set.
env_up() {
  env_started=0
  if ! "$tavrel_root/scripts/wine-env.sh" status "$1"; then
    "$tavrel_root/scripts/wine-env.sh" start "$1" || return 1
    env_started=1
  fi
  # shellcheck source=/dev/null  # written by wine-env.sh start
  . "$1/env.sh"
}
env_down() {
  if [ "${env_started:-0}" -eq 1 ]; then "$tavrel_root/scripts/wine-env.sh" stop "$1"; fi
  env_started=0
}

# short_dir: a new private folder with a short path free of spaces, for what
# has a length limit (a Unix socket path holds 107 bytes): in the user's
# runtime folder when that is such a path, else in /tmp.
short_dir() {
  local base=/tmp
  [[ ${XDG_RUNTIME_DIR:-} =~ ^/[A-Za-z0-9/._-]{0,40}$ && -d $XDG_RUNTIME_DIR && -w $XDG_RUNTIME_DIR ]] \
    && base=${XDG_RUNTIME_DIR%/}
  mktemp -d "$base/tavrel.XXXXXX"
}

# pulse_start RUNTIME DIR RATE: a private PulseAudio server whose one null
# sink, tavrel_line (RATE Hz, stereo), plays into its monitor, the default
# source. Its socket is RUNTIME/pulse/native (RUNTIME from short_dir); its
# script and log are in DIR. Sets pulse_pid; fails unless it answers with
# that source within 10 s.
pulse_start() {
  local runtime=$1 dir=$2 source
  # .fail: the script stops at its first failing line (the server stays up).
  cat > "$dir/pulse.pa" <<PA
.fail
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=tavrel_line rate=$3 channels=2 sink_properties=device.description=TavrelLine
set-default-sink tavrel_line
set-default-source tavrel_line.monitor
PA
  # Its home is its runtime folder: no configuration or cookie of the user's;
  # nothing of the caller's redirects its socket or devices.
  env -u PULSE_RUNTIME_PATH -u PULSE_STATE_PATH -u PULSE_CONFIG_PATH -u PULSE_SINK -u PULSE_SOURCE \
    -u PULSE_CLIENTCONFIG -u PULSE_PROP -u PULSE_SERVER LC_ALL=C HOME="$runtime" \
    XDG_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$runtime" pulseaudio --daemonize=no \
    --exit-idle-time=-1 --disallow-exit -n -F "$dir/pulse.pa" \
    --log-target=file:"$dir/pulse.log" >/dev/null 2>&1 &
  pulse_pid=$!
  # It answers once its script has run: then the source is there, or a line
  # failed.
  for _ in $(seq 100); do
    if source=$(PULSE_SERVER=unix:$runtime/pulse/native pactl get-default-source 2>/dev/null); then
      [ "$source" = tavrel_line.monitor ]
      return
    fi
    alive "$pulse_pid" || return 1
    sleep 0.1
  done
  return 1
}

# control_dialog PID SECONDS: prints the X window of Tavrel's control dialog.
# The title window carries the same caption for its first two seconds and is
# shown before it, so the first window of Tavrel seen must have gone first.
# Fails once PID (Tavrel, or what runs it) has ended, or after SECONDS.
control_dialog() {
  local first='' ids dialog end=$((SECONDS + $2))
  while [ $SECONDS -lt $end ] && alive "$1"; do
    ids=$(xdotool search --onlyvisible --class '^tavrel\.exe$' 2>/dev/null | sort -n || true)
    first=${first:-$(head -n1 <<<"$ids")}
    dialog=$(xdotool search --onlyvisible --name '^Tavrel$' 2>/dev/null | head -n1 || true)
    if [ -n "$first" ] && [ -n "$dialog" ] && ! grep -qx "$first" <<<"$ids"; then
      echo "$dialog"
      return
    fi
    sleep 0.1
  done
  return 1
}
