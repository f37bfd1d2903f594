#!/usr/bin/env bash
# scripts/install.sh for a new user (a home with only a ~/.local/bin of
# another program's, ~/.local/bin not on PATH): a valid menu entry, the
# icon's own images, a tavrel command that runs the desktop run from another
# folder; then --uninstall leaves the home as it was, the prefix apart.
set -euo pipefail
[ -n "${INSTALL_TEST_CLEAN:-}" ] || exec env -i INSTALL_TEST_CLEAN=1 PATH="$PATH" bash "$0" "$@"
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d "/tmp/tavrel-install 試験.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export HOME=$tmp/home LANG=en_US.UTF-8
mkdir -p "$HOME/.local/bin" "$tmp/elsewhere" && echo other > "$HOME/.local/bin/other"
listing() { (cd "$HOME" && find . -printf '%p %s\n' | sort); }
before=$(listing)

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

mkdir -p "$HOME/.local/share/tavrel/wine-prefix"   # as a run leaves it
"$root/scripts/install.sh" --uninstall >/dev/null
[ -d "$HOME/.local/share/tavrel/wine-prefix" ] || fail "--uninstall removed the prefix"
rm -r "$HOME/.local/share/tavrel/wine-prefix"
rmdir "$HOME/.local/share/tavrel" "$HOME/.local/share" 2>/dev/null || true
[ "$(listing)" = "$before" ] || fail "the home after --uninstall: $(diff <(echo "$before") <(listing))"
echo "install test passed in $SECONDS s"
