#!/usr/bin/env bash
# scripts/install.sh for a new user (an empty home, ~/.local/bin not on
# PATH): a valid menu entry, the icon's own images, a tavrel command that
# runs the desktop run from another folder; then --uninstall leaves the home
# as it was, but for the prefix and what another program put there.
set -euo pipefail
[ -n "${INSTALL_TEST_CLEAN:-}" ] || exec env -i INSTALL_TEST_CLEAN=1 PATH="$PATH" bash "$0" "$@"
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d "/tmp/tavrel-install 試験.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export HOME=$tmp/home LANG=en_US.UTF-8
mkdir -p "$HOME" "$tmp/elsewhere"
listing() { (cd "$HOME" && find . | sort); }

out=$("$root/scripts/install.sh") || fail "install failed: $out"
grep -qx "install: $HOME/.local/bin is not on PATH: .*" <<<"$out" || fail "no PATH line: $out"
desktop-file-validate "$HOME/.local/share/applications/tavrel.desktop" || fail "invalid entry"
# Every size in the theme; the icon's own two images unchanged.
icon() { echo "$HOME/.local/share/icons/hicolor/$1x$1/apps/tavrel.png"; }
for s in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format %wx%h "$(icon $s)")" = "${s}x$s" ] || fail "no ${s}x$s icon"
done
for i in 0:16 1:32; do
  [ "$(compare -metric AE "$root/res/icons/tavrel.ico[${i%:*}]" "$(icon "${i#*:}")" null: 2>&1)" = 0 ] \
    || fail "the ${i#*:} pixel icon is not the program's"
done

# The entry's command, from another folder, as the desktop run (its one-line
# error for a display that does not open).
exe=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$HOME/.local/share/applications/tavrel.desktop")
rc=0; out=$(cd "$tmp/elsewhere" && DISPLAY=:65000 "$exe" 2>&1 </dev/null) || rc=$?
want="run: cannot open display :65000: log in to the desktop (or check XAUTHORITY), or unset DISPLAY for the headless run"
{ [ $rc -eq 1 ] && [ "$out" = "$want" ]; } || fail "tavrel: exit $rc, printed: $out"

# A run's prefix stays, and so does another program's entry with its folders.
mkdir -p "$HOME/.local/share/tavrel/wine-prefix" && echo other > "$HOME/.local/share/applications/other.desktop"
"$root/scripts/install.sh" --uninstall >/dev/null
want=$(printf '%s\n' . ./.local ./.local/share ./.local/share/applications ./.local/share/applications/other.desktop \
  ./.local/share/tavrel ./.local/share/tavrel/wine-prefix)
[ "$(listing)" = "$want" ] || fail "the home after --uninstall: $(listing)"
# With nothing else there, nothing stays.
rm -r "$HOME/.local" && "$root/scripts/install.sh" >/dev/null && "$root/scripts/install.sh" --uninstall >/dev/null
[ "$(listing)" = . ] || fail "the empty home after --uninstall: $(listing)"
echo "install test passed in $SECONDS s"
