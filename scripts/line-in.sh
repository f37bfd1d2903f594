# shellcheck shell=bash
# Sourced by the run, soak, benchmark and screenshot commands and the shell
# tests: the demo signal, and a PulseAudio server of their own with one
# line-in at a chosen rate playing it, so the test environment's server and
# its devices are left as they are.
#
#   demo_signal FILE RATE SECONDS [LEFT RIGHT]   write the demo signal
#                            (s16le stereo): 1 kHz left, 440 Hz right, at
#                            peaks LEFT and RIGHT of full scale (0.5 and
#                            0.1: -6 and -20 dB)
#   line_in_start DIR RATE   start the server (files in DIR); exports PULSE_SERVER
#   line_in_play DIR RATE [RAW]   loop RAW (s16le stereo), by default the
#                                 demo signal
#   line_in_stop             end the player and the server
#   settings_aside KEY DIR   keep the registry key KEY in DIR and delete it
#   settings_back KEY DIR    put KEY back as settings_aside found it

# shellcheck source=tavrel-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/tavrel-lib.sh"

# Whole periods of both tones in a whole number of seconds: it loops seamlessly.
demo_signal() {
  sox -n -r "$2" -c 2 -b 16 -e signed -t raw "$1" \
      synth "$3" sine 1000 sine 440 gain -n 0 remix "1v${4:-0.5}" "2v${5:-0.1}" 2>/dev/null
}

line_in_start() {
  mkdir -p "$1"
  LINE_IN_RUNTIME=$(short_dir)
  pulse_start "$LINE_IN_RUNTIME" "$1" "$2" && LINE_IN_SERVER=$pulse_pid \
    && export PULSE_SERVER=unix:$LINE_IN_RUNTIME/pulse/native && return
  LINE_IN_SERVER=$pulse_pid
  echo "line-in: PulseAudio did not start (see $1/pulse.log)" >&2
  return 1
}

line_in_play() {
  local raw=${3:-$1/tone.raw}
  [ -n "${3:-}" ] || demo_signal "$raw" "$2" 1
  # shellcheck disable=SC2016  # $0 and $1 are the child's arguments
  setsid bash -c 'while cat "$0"; do :; done | pacat --playback --device=tavrel_line \
    --format=s16le --rate="$1" --channels=2 --raw' "$raw" "$2" >/dev/null 2>&1 &
  LINE_IN_PLAYER=$!
}

line_in_stop() {
  [ -n "${LINE_IN_PLAYER:-}" ] && kill -- "-$LINE_IN_PLAYER" 2>/dev/null
  [ -n "${LINE_IN_SERVER:-}" ] && kill "$LINE_IN_SERVER" 2>/dev/null &&
    wait "$LINE_IN_SERVER" 2>/dev/null
  [ -n "${LINE_IN_RUNTIME:-}" ] && rm -rf "$LINE_IN_RUNTIME"
  LINE_IN_PLAYER='' LINE_IN_SERVER='' LINE_IN_RUNTIME=''
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
