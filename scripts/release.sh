#!/usr/bin/env bash
# Builds Tavrel.exe in release form and writes the zip a Windows user
# unpacks: dist/Tavrel-<version>-win64.zip and its .sha256, the version read
# from res/version.h, which the program's version resource is made from.
# The same commit gives the same bytes wherever and whenever it is built:
# the linker writes no time stamp, the compiler no build folder, and every
# entry of the zip has the commit's time, a fixed mode and a fixed place.
#
#   TAVREL_RELEASE_BUILD  build folder (default build/release)
#   TAVREL_RELEASE_DIST   where the zip goes (default dist)
#   SOURCE_DATE_EPOCH     the entries' time (default: the commit's)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fail() { echo "release: $*" >&2; exit 1; }
[ -n "${TAVREL_RELEASE_SKIP_SETUP:-}" ] || bash scripts/setup.sh

version=$(sed -n 's/^#define TAVREL_VERSION  *"\([^"]*\)".*/\1/p' res/version.h)
[ -n "$version" ] || fail "no TAVREL_VERSION in res/version.h"
build=${TAVREL_RELEASE_BUILD:-$root/build/release}
dist=${TAVREL_RELEASE_DIST:-$root/dist}
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || fail "not a git checkout: set SOURCE_DATE_EPOCH"
# A zip entry cannot be older than 1980.
[ "$epoch" -ge 315532800 ] || epoch=315532800

mkdir -p "$build"
{ cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    && cmake --build "$build" -j"${TAVREL_JOBS:-2}" --target Tavrel tavrel_files; } >"$build/build.log" 2>&1 \
  || { tail -n 20 "$build/build.log" >&2; fail "the build failed (all of it in $build/build.log)"; }

# chmcmd writes the time of day it ran at twice: in the file's header and in
# entry 10 of #SYSTEM. Both become 0 (midnight).
u16() { od -An -tu2 -j"$2" -N2 "$1" | tr -d ' '; }
u64() { od -An -tu8 -j"$2" -N8 "$1" | tr -d ' '; }
zero4() { printf '\0\0\0\0' | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
chm_clear_times() {
  local chm=$1 entry end code size
  zero4 "$chm" 16
  # #SYSTEM lies in section 0, which starts where the header's last field says.
  read -r entry size < <(chmls -p list "$chm" 2>/dev/null | awk '$1 == 0 && $4 == "/#SYSTEM" { print $2, $3 }')
  [ -n "$entry" ] || fail "no #SYSTEM in $chm"
  entry=$(($(u64 "$chm" 88) + entry)); end=$((entry + size)); entry=$((entry + 4))
  while [ $entry -lt $end ]; do
    code=$(u16 "$chm" $entry); size=$(u16 "$chm" $((entry + 2)))
    [ "$code" -eq 10 ] && zero4 "$chm" $((entry + 4))
    entry=$((entry + 4 + size))
  done
}

name=Tavrel-$version
files=(Tavrel.exe Tavrel.chm title.gif gnu.txt gnu-j.txt readme.txt)
stage=$build/stage
rm -rf "$stage"; mkdir -p "$stage/$name"
for f in "${files[@]}"; do
  [ -f "$build/bin/$f" ] || fail "$build/bin/$f was not made"
  cp "$build/bin/$f" "$stage/$name/$f"
done
chmod 755 "$stage/$name"; chmod 644 "$stage/$name"/*
chm_clear_times "$stage/$name/Tavrel.chm"
TZ=UTC touch -h -d "@$epoch" "$stage/$name" "$stage/$name"/*

zip=$name-win64.zip
mkdir -p "$dist" && dist=$(cd "$dist" && pwd)
rm -f "$dist/$zip" "$dist/$zip.sha256"
# -X: no owner or extra time fields; -D: no folder entries; the order as listed.
(cd "$stage" && TZ=UTC zip -X -D -q -9 "$dist/$zip" "${files[@]/#/$name/}")
(cd "$dist" && sha256sum "$zip" > "$zip.sha256")
echo "release: $dist/$zip ($(stat -c %s "$dist/$zip") bytes)"
echo "release: sha256 $(cut -d' ' -f1 "$dist/$zip.sha256")"
