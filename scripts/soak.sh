#!/usr/bin/env bash
# A long run of Tavrel: 96000 Hz, all four windows shown, a tone on a
# private PulseAudio line-in. Every 30 s the process's kernel handles, GDI
# objects, private memory and block counter are sampled and printed; between
# samples the counter is polled for the longest time without a block step.
# Fails when the first three do not stay flat, when a gap between block
# steps was long enough to lose blocks, or when the normal exit (F12) does
# not end the run with code 0 and save the settings.
#
#   scripts/soak.sh [SECONDS]      default 600 (10 minutes)
#
# Uses the cross build in build/win (or $TAVREL_BUILD_DIR), brought up to
# date, and its Wine environment (started and stopped here when it is not
# already up). The user's Tavrel registry key is put back afterwards.
set -euo pipefail
seconds=${1:-600}
# shellcheck source=line-in.sh
. "$(dirname "$0")/line-in.sh"
checkout_path_ok soak
root=$tavrel_root
build=${TAVREL_BUILD_DIR:-$root/build/win}
env_dir=${TAVREL_WINE_ENV:-$build/wine-env}
sampler=$build/bench/proc_sampler.exe
key='HKCU\Software\Korvane\Tavrel'
rate=96000

configure win "$build"
cmake --build "$build" -j"${TAVREL_JOBS:-2}" --target Tavrel tavrel_files proc_sampler

env_up "$env_dir"
work=$(mktemp -d "$env_dir/soak.XXXXXX")

tavrel=''
# shellcheck disable=SC2317  # the EXIT trap calls it
cleanup() {
  set +e
  [ -n "$tavrel" ] && kill "$tavrel" 2>/dev/null
  line_in_stop
  settings_back "$key" "$work"
  rm -rf "$work"
  env_down "$env_dir"
}
trap cleanup EXIT
line_in_start "$work" $rate
line_in_play "$work" $rate

# From the defaults (all four windows shown) at 96000 Hz.
settings_aside "$key" "$work"
"$WINE" reg add "$key" /v m_iSamplingRate /t REG_DWORD /d $rate /f >/dev/null

(cd "$build/bin" && exec "$WINE" Tavrel.exe) &
tavrel=$!
"$WINE" "$sampler" key space
echo "soak: Tavrel at $rate Hz with all four windows for $seconds s"
status=0
"$WINE" "$sampler" watch "$seconds" 30 | tr -d '\r' || status=1

# The normal exit still saves.
"$WINE" "$sampler" exit | tr -d '\r' || status=1
wait "$tavrel" 2>/dev/null || true
tavrel=''
values=$("$WINE" reg query "$key" 2>/dev/null | tr -d '\r' | grep -c REG_DWORD || true)
saved_rate=$("$WINE" reg query "$key" /v m_iSamplingRate 2>/dev/null | tr -d '\r' |
  awk '/REG_DWORD/ { print $3 }')
saved_rate=$((${saved_rate:-0}))
echo "saved at exit: $values values, m_iSamplingRate $saved_rate"
if [ "$values" != 29 ] || [ "$saved_rate" != $rate ]; then
  echo "FAIL: the exit did not save the settings"
  status=1
fi
[ $status -eq 0 ] && echo "soak: passed" || echo "soak: FAILED"
exit $status
