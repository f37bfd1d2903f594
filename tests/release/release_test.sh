#!/usr/bin/env bash
# The release as a Windows user gets it: scripts/release.sh's zip holds one
# folder with exactly the program's files, the version resource names the
# zip's version and the program's icon comes first; unpacked under a path
# with a space and Japanese text (表 ends in the byte of a backslash in
# CP932), Tavrel.exe started from another folder shows its title picture and
# its control dialog, opens the licence texts and the help beside itself and
# ends with F12. A second release build, later, from a copy of the sources elsewhere,
# gives the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d /tmp/tavrel-release.XXXXXX)
tavrel=''
finish() { set +e; [ -z "$tavrel" ] || kill "$tavrel" 2>/dev/null; rm -rf "$tmp"; }
trap finish EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=../../scripts/tavrel-lib.sh
. "$root/scripts/tavrel-lib.sh"

SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH TAVREL_RELEASE_SKIP_SETUP=1
TAVREL_RELEASE_DIST=$tmp/a "$root/scripts/release.sh" >/dev/null
copy="$tmp/別の 場所/Tavrel"
mkdir -p "$copy"
(cd "$root" && git ls-files -co --exclude-standard -z | tar --null -cf - -T -) | tar -xf - -C "$copy"
start=$SECONDS
TAVREL_RELEASE_DIST=$tmp/b TAVREL_RELEASE_BUILD=$copy/build "$copy/scripts/release.sh" >/dev/null
zip=$(cd "$tmp/a" && echo Tavrel-*-win64.zip)
version=${zip#Tavrel-} && version=${version%-win64.zip}
cmp -s "$tmp/a/$zip" "$tmp/b/$zip" || fail "two release builds differ"
echo "release: $zip, $(stat -c %s "$tmp/a/$zip") bytes, sha256 $(cut -c1-16 "$tmp/a/$zip.sha256")...," \
  "the same bytes from a copy in $copy (built in $((SECONDS - start)) s)"

want=$(for f in Tavrel.exe Tavrel.chm title.gif gnu.txt gnu-j.txt readme.txt; do echo "Tavrel-$version/$f"; done)
[ "$(unzip -Z1 "$tmp/a/$zip")" = "$want" ] || fail "the zip holds: $(unzip -Z1 "$tmp/a/$zip")"
dir="$tmp/表示 テスト/Tavrel-$version"
unzip -q "$tmp/a/$zip" -d "$tmp/表示 テスト"
# readme.txt: CP932 (not UTF-8) with CRLF, naming the registry key.
if iconv -f UTF-8 -t UTF-8 "$dir/readme.txt" >/dev/null 2>&1 || grep -qv $'\r$' "$dir/readme.txt" \
  || ! iconv -f CP932 -t UTF-8 "$dir/readme.txt" | grep -qF 'HKEY_CURRENT_USER\Software\Korvane\Tavrel'; then
  fail "readme.txt is not CP932 with CRLF naming the key"
fi

# Explorer shows the first icon group, and the version of the Japanese block.
first=$(wrestool -l --type=14 "$dir/Tavrel.exe" | head -n1)
[[ $first == *" --name=106 "* ]] || fail "the first icon group is not 106: $first"
info=$(wrestool -x --raw --type=16 "$dir/Tavrel.exe" | iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n' | grep .)
value() { awk -v k="$1" 'p { print; exit } $0 ~ k "$" { p = 1 }' <<<"$info"; }
for kv in "FileVersion=$version" "ProductVersion=$version" ProductName=Tavrel CompanyName=Korvane; do
  [ "$(value "${kv%=*}")" = "${kv#*=}" ] || fail "${kv%=*} is '$(value "${kv%=*}")', not '${kv#*=}'"
done
{ grep -q '041104B0$' <<<"$info" && [ "$(value Translation | od -An -tx1 | tr -d ' \n')" = d091d2b00a ]; } \
  || fail "no string block 041104B0 or translation 0x0411, 1200"
[[ $(value LegalCopyright) == *GPL* ]] || fail "LegalCopyright does not name the GPL"

# shellcheck disable=SC1091
. "$TAVREL_WINE_ENV/env.sh"
mkdir "$tmp/elsewhere" && cd "$tmp/elsewhere"
# Wine's trace of ShellExecute shows the paths Tavrel opens.
WINEDEBUG=-all,trace+exec "$WINE" "$dir/Tavrel.exe" 2>"$tmp/exec.log" & tavrel=$!
# The title window is Tavrel's first window: its picture has 53 colours, its
# bare face a few. It is looked at until it goes.
end=$((SECONDS + 15)) first='' colours=0
while [ "$colours" -le 40 ] && alive "$tavrel" && [ $SECONDS -lt $end ]; do
  sleep 0.05
  ids=$(xdotool search --onlyvisible --class '^tavrel\.exe$' 2>/dev/null | sort -n || true)
  first=${first:-$(head -n1 <<<"$ids")}
  [ -n "$first" ] || continue
  grep -qx "$first" <<<"$ids" || break
  colours=$(import -display "$DISPLAY" -window "$first" png:- 2>/dev/null | identify -format %k - 2>/dev/null || echo 0)
done
[ "$colours" -gt 40 ] || fail "no title picture: $colours colours"
dialog=$(control_dialog "$tavrel" 15) || fail "no control dialog"
# The licence texts (ヘルプ, GPL ライセンスについて, 英語 and 日本語) by their
# full path beside Tavrel.exe, in the trace's form (U+8868 as \8868).
for f in e:gnu.txt j:gnu-j.txt; do
  xdotool windowfocus --sync "$dialog" key --delay 200 alt+h g "${f%:*}"
  w=$(sed 's|/|\\\\|g; s|表|\\8868|; s|示|\\793a|; s| テスト| \\30c6\\30b9\\30c8|' <<<"Z:$dir/${f#*:}")
  for _ in $(seq 50); do grep -qF "file=L\"$w\" " "$tmp/exec.log" && break; sleep 0.1; done
  grep -qF "file=L\"$w\" " "$tmp/exec.log" || fail "${f#*:} not opened beside Tavrel.exe: $(grep -a SHELL_execute "$tmp/exec.log")"
done
# The help (ヘルプ, ヘルプ) from the file beside it: its viewer's window opens.
xdotool windowfocus --sync "$dialog" key --delay 200 alt+h h
wait_for 10 xdotool search --onlyvisible --name '^Tavrel ヘルプ$' >/dev/null \
  || fail "no help window from Tavrel.chm beside Tavrel.exe"
# The viewer keeps the keyboard until it is closed.
help=$(xdotool search --onlyvisible --name '^Tavrel ヘルプ$' | head -n1)
xdotool windowfocus --sync "$help" key alt+F4
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tavrel ヘルプ$'" >/dev/null
xdotool windowfocus --sync "$dialog" key F12
rc=0; wait "$tavrel" || rc=$?
tavrel=''
"$WINE" reg delete 'HKCU\Software\Korvane\Tavrel' /f >/dev/null 2>&1 || true
[ $rc -eq 0 ] || fail "Tavrel.exe ended with $rc"
echo "release test passed in $SECONDS s: title picture ($colours colours), control dialog, both licence texts, the help, F12 ended it with 0"
