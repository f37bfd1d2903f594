# Sourced by the soak and benchmark commands: a PulseAudio server of their
# own, with one line-in at a chosen rate playing a known tone, so the test
# environment's server and its devices are left as they are.
#
#   line_in_start DIR RATE   start the server in DIR; exports PULSE_SERVER
#   line_in_play DIR RATE [RAW]   loop RAW (s16le stereo), by default 1 kHz
#                                 at -6 dB left and 440 Hz at -20 dB right
#   line_in_stop             end the player and the server
#   settings_aside KEY DIR   keep the registry key KEY in DIR and delete it
#   settings_back KEY DIR    put KEY back as settings_aside found it

line_in_start() {
  local dir=$1 rate=$2
  mkdir -p "$dir/run"; chmod 700 "$dir/run"
  cat > "$dir/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=tavrel_line rate=$rate channels=2 sink_properties=device.description=TavrelLine
set-default-sink tavrel_line
set-default-source tavrel_line.monitor
PA
  LC_ALL=C XDG_RUNTIME_DIR=$dir/run HOME=$dir/run pulseaudio --daemonize=no --exit-idle-time=-1 \
    --disallow-exit -n -F "$dir/server.pa" --log-target=file:"$dir/pulse.log" >/dev/null 2>&1 &
  LINE_IN_SERVER=$!
  export PULSE_SERVER=unix:$dir/native
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && return; sleep 0.1; done
  echo "line-in: PulseAudio did not start (see $dir/pulse.log)" >&2
  return 1
}

line_in_play() {
  local dir=$1 rate=$2 raw=${3:-$1/tone.raw}
  [ -n "${3:-}" ] || sox -n -r "$rate" -c 2 -b 16 -e signed -t raw "$raw" \
      synth 1 sine 1000 sine 440 remix 1v0.5 2v0.1 2>/dev/null
  setsid sh -c "while cat '$raw'; do :; done | pacat --playback --device=tavrel_line \
    --format=s16le --rate=$rate --channels=2 --raw" >/dev/null 2>&1 &
  LINE_IN_PLAYER=$!
}

line_in_stop() {
  [ -n "${LINE_IN_PLAYER:-}" ] && kill -- "-$LINE_IN_PLAYER" 2>/dev/null
  [ -n "${LINE_IN_SERVER:-}" ] && kill "$LINE_IN_SERVER" 2>/dev/null &&
    wait "$LINE_IN_SERVER" 2>/dev/null
  LINE_IN_PLAYER='' LINE_IN_SERVER=''
  return 0
}

settings_aside() {
  SETTINGS_KEPT=0
  "$WINE" reg export "$1" "$2/saved.reg" /y >/dev/null 2>&1 && SETTINGS_KEPT=1
  "$WINE" reg delete "$1" /f >/dev/null 2>&1 || true
  return 0
}

settings_back() {
  "$WINE" reg delete "$1" /f >/dev/null 2>&1 || true
  [ "${SETTINGS_KEPT:-0}" -eq 1 ] && "$WINE" reg import "$2/saved.reg" >/dev/null 2>&1
  return 0
}
