#!/usr/bin/env bash
# The test environment from a checkout whose path holds a space and Japanese
# text and is over 150 bytes long: a copy of the scripts there starts it (its
# PulseAudio answering, its line-in the default source), and its stop leaves
# nothing of it running and its short folder gone. A path Wine cannot take is
# refused in one line.
set -euo pipefail
# Nothing of the caller's shell gets in; the home keeps the prefix template.
[ -n "${PATH_TEST_CLEAN:-}" ] || exec env -i PATH_TEST_CLEAN=1 PATH="$PATH" HOME="$HOME" bash "$0" "$@"
tmp=$(mktemp -d /tmp/tavrel-path.XXXXXX)
root="$tmp/my projects/録音 テスト"
while [ "$(printf %s "$root" | wc -c)" -le 150 ]; do root+="/a folder of its own"; done
mkdir -p "$root" && cp -a "$(dirname "$0")/../../scripts" "$root/"
env_dir=$root/build/win/wine-env
trap '"$root/scripts/wine-env.sh" stop "$env_dir" >/dev/null 2>&1; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# What the start runs carries PATH_TEST_RUN.
PATH_TEST_RUN=$tmp "$root/scripts/wine-env.sh" start "$env_dir" || fail "no start from $root"
# shellcheck source=/dev/null  # written by wine-env.sh start
. "$env_dir/env.sh"
[ "$(pactl get-default-source)" = tavrel_line.monitor ] || fail "no line-in: $(pactl info 2>&1)"

"$root/scripts/wine-env.sh" stop "$env_dir"
left=$(grep -lzs "^PATH_TEST_RUN=$tmp\$" /proc/[0-9]*/environ || true)
[ -z "$left" ] || fail "the stop left processes behind: $left"
[ ! -e "$XDG_RUNTIME_DIR" ] || fail "the stop left the short folder $XDG_RUNTIME_DIR"

# A name outside CP932, and a path too long for Windows' limit.
for bad in "$tmp/café" "$tmp/$(printf 'x%.0s' {1..200})"; do
  mkdir -p "$bad" && cp -a "$root/scripts" "$bad/"
  rc=0; out=$("$bad/scripts/run.sh" 2>&1 </dev/null) || rc=$?
  { [ $rc -eq 1 ] && [[ $out =~ ^"run: the checkout's path "[^$'\n']*": clone it into "[^$'\n']*$ ]]; } \
    || fail "from $bad: exit $rc, printed: $out"
done
echo "test environment from a $(printf %s "$root" | wc -c)-byte path: started, stopped in $SECONDS s"
