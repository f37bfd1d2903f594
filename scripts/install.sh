#!/usr/bin/env bash
# Puts Tavrel into this user's desktop menu, or takes it out again:
#
#   scripts/install.sh                      the menu entry, the icon, the tavrel command
#   scripts/install.sh --uninstall          removes exactly what install put there
#   scripts/install.sh --uninstall --purge  and also Tavrel's Wine prefix, with the settings
#
# The tavrel command (~/.local/bin/tavrel) runs this checkout's scripts/run.sh
# by its absolute path, so Tavrel runs as the desktop run does: its own
# prefix, its one-line errors. If the checkout moves, the command says so in
# one line; run this script again from the new place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "install: $*" >&2; exit 1; }

data=${XDG_DATA_HOME:-$HOME/.local/share}
bin=$HOME/.local/bin
apps=$data/applications
icons=$data/icons/hicolor
prefix=$data/tavrel/wine-prefix
# What install made, files and folders, one a line: what uninstall removes.
manifest=$data/tavrel/installed
sizes=(16 22 24 32 48 64 128 256)

uninstall() {
  [ -f "$manifest" ] || return 0
  local paths path i
  mapfile -t paths < "$manifest"
  rm -f "$manifest"
  # Files first, then the folders install made, deepest first, if empty:
  # what another program has put into one keeps it.
  for path in "${paths[@]}"; do
    case $path in "$data"/*|"$bin"/*) [ -d "$path" ] || rm -f "$path" ;; esac
  done
  for ((i = ${#paths[@]} - 1; i >= 0; i--)); do
    path=${paths[i]}
    case $path in "$HOME"/*) if [ -d "$path" ]; then rmdir "$path" 2>/dev/null || true; fi ;; esac
  done
}

# Caches the desktop keeps are refreshed; none is made where there is none
# (the menu then reads the folders themselves).
refresh_caches() {
  if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t "$icons" || true
  fi
  if [ -f "$apps/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$apps" || true
  fi
}

if [ "${1:-}" = --uninstall ]; then
  [ "${2:-}" != --purge ] || rm -rf "$prefix"
  uninstall
  if [ "${2:-}" = --purge ]; then
    rmdir "$data/tavrel" 2>/dev/null || true
    echo "install: Tavrel removed from the menu, with its Wine prefix and settings"
  elif [ -d "$prefix" ]; then
    echo "install: Tavrel removed from the menu; its Wine prefix with the settings stays in $prefix (--uninstall --purge removes it)"
  else
    echo "install: Tavrel removed from the menu"
  fi
  refresh_caches
  exit 0
fi
[ $# -eq 0 ] || { echo "usage: scripts/install.sh [--uninstall [--purge]]" >&2; exit 2; }

bash "$root/scripts/setup.sh" || echo "install: scripts/setup.sh failed; checking what is missing" >&2
command -v icotool >/dev/null || fail "icotool is missing: install Debian's icoutils package (scripts/setup.sh does)"
command -v convert >/dev/null || fail "convert is missing: install Debian's imagemagick package (scripts/setup.sh does)"

# A second install replaces the first (the checkout may have moved).
uninstall
# Each folder and file made is noted in the manifest at once, so an install
# that stops half way can still be undone.
made=()
note() {
  made+=("$1")
  if [ -d "$data/tavrel" ]; then printf '%s\n' "${made[@]}" > "$manifest"; fi
}
# made_dir DIR: makes DIR and the folders above it that are not there.
made_dir() {
  local missing=() d=$1
  while [ ! -d "$d" ]; do missing=("$d" "${missing[@]}"); d=$(dirname "$d"); done
  for d in "${missing[@]}"; do mkdir "$d" && note "$d"; done
}
put() { cat > "$1"; note "$1"; }
made_dir "$data/tavrel"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The icon's own images; a size it lacks is scaled from its largest.
icotool -x -o "$tmp" "$root/res/icons/tavrel.ico" 2>/dev/null
# "width depth path" of each image
images=$(find "$tmp" -name '*.png' | sed -E 's/.*_([0-9]+)x[0-9]+x([0-9]+)\.png$/\1 \2 &/' | sort -n -k1,1 -k2,2)
largest=$(tail -n1 <<<"$images" | cut -d' ' -f3-)
[ -n "$largest" ] || fail "no images in res/icons/tavrel.ico"
largest_size=$(identify -format %w "$largest")
for s in "${sizes[@]}"; do
  made_dir "$icons/${s}x$s/apps"
  # The deepest colour of this size, if the icon has it.
  own=$(awk -v s="$s" '$1 == s' <<<"$images" | tail -n1 | cut -d' ' -f3-)
  if [ -n "$own" ]; then cp "$own" "$tmp/icon.png"
  elif [ "$s" -gt "$largest_size" ]; then convert "$largest" -filter point -resize "${s}x$s" "$tmp/icon.png"
  else convert "$largest" -resize "${s}x$s" "$tmp/icon.png"
  fi
  put "$icons/${s}x$s/apps/tavrel.png" < "$tmp/icon.png"
done

made_dir "$bin"
quoted=${root//\'/\'\\\'\'}
put "$bin/tavrel" <<EOF
#!/bin/sh
# Runs Tavrel from the checkout scripts/install.sh was run in.
checkout='$quoted'
[ -x "\$checkout/scripts/run.sh" ] || {
  echo "tavrel: no Tavrel checkout at \$checkout any more: run scripts/install.sh again where it is now" >&2
  exit 1
}
exec "\$checkout/scripts/run.sh" "\$@"
EOF
chmod 755 "$bin/tavrel"

# Exec is quoted as the desktop entry format asks: \ " \` \$ escaped, the
# escapes' backslashes doubled, % as %%.
exec_path=$bin/tavrel
exec_path=${exec_path//\\/\\\\\\\\}
exec_path=${exec_path//\"/\\\\\"}
exec_path=${exec_path//\`/\\\\\`}
exec_path=${exec_path//\$/\\\\\$}
exec_path=${exec_path//%/%%}
made_dir "$apps"
put "$apps/tavrel.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Tavrel
GenericName=Line-input level meter
GenericName[ja]=ライン入力レベルメータ
Comment=Set the line-input level before a recording
Comment[ja]=録音の前にライン入力のレベルを合わせます
Exec="$exec_path"
Icon=tavrel
Terminal=false
Categories=AudioVideo;Audio;
StartupWMClass=tavrel.exe
EOF
refresh_caches

echo "install: Tavrel is in the menu ($apps/tavrel.desktop), with the command $bin/tavrel running $root/scripts/run.sh"
case ":$PATH:" in
  *":$bin:"*|*":$bin/:"*) ;;
  *) echo "install: $bin is not on PATH: add it (in ~/.profile: PATH=\"\$HOME/.local/bin:\$PATH\") to type tavrel; the menu entry works without it" ;;
esac
