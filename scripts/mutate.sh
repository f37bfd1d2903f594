#!/usr/bin/env bash
# The mutation run: each planted fault of scripts/mutations.tsv is applied,
# one at a time, to a scratch copy of the tree, which is then built and
# tested with every suite of the test command (stopping at the first that
# fails). A fault is caught when a suite fails, missed when all pass, and
# broken when the text is not in its file once or the copy does not build.
#
#   scripts/mutate.sh [PATTERN]    only the faults whose name matches PATTERN
#
# The copy and its builds live in build/mutate and are kept between runs, so
# a later run rebuilds only what a fault touches.
set -euo pipefail
# shellcheck source=tavrel-lib.sh
. "$(dirname "$0")/tavrel-lib.sh"
checkout_path_ok mutate
root=$tavrel_root
cd "$root"
bash scripts/setup.sh
pattern=${1:-}
scratch=$root/build/mutate
src=$scratch/src
jobs=${TAVREL_JOBS:-2}
mkdir -p "$src"
# The tree as git has it (files since deleted go too), the builds kept.
find "$src" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
git ls-files -z | xargs -0 tar -cf - | tar -xf - -C "$src"
win=$src/build/win
configure native "$src/build/native" "$src"
configure win "$win" "$src"
build() {
  cmake --build "$src/build/native" -j"$jobs" >/dev/null 2>&1 &&
    cmake --build "$win" -j"$jobs" >/dev/null 2>&1
}
build || { echo "mutate: the unchanged copy does not build" >&2; exit 1; }
scripts/wine-env.sh start "$win/wine-env" >/dev/null
trap 'scripts/wine-env.sh stop "$win/wine-env"' EXIT

caught=0 missed=0 broken=0
printf '%-44s %-9s %s\n' "planted fault" "result" "first suite to fail"
while IFS=$'\t' read -r name file from to; do
  case $name in '#'*|'') continue ;; esac
  [ -n "$pattern" ] && [[ $name != *$pattern* ]] && continue
  if ! python3 - "$src/$file" "$from" "$to" <<'PY'
import sys
path, old, new = sys.argv[1], *(a.replace('\\n', '\n') for a in sys.argv[2:])
text = open(path, encoding='utf-8').read()
if text.count(old) != 1:
    sys.exit(1)
open(path, 'w', encoding='utf-8').write(text.replace(old, new))
PY
  then
    result=broken first='(text not found once)'
  elif ! build; then
    result=broken first='(does not build)'
  else
    log=$scratch/last.log
    # The desktop run last: it is the slowest and sees least of the program.
    # The shell scripts' own checks see nothing of the program, and the
    # release and install tests need a git checkout, which the copy is not:
    # there they would fail whatever was planted.
    ctest --test-dir "$src/build/native" -j"$jobs" -E shellcheck --stop-on-failure >"$log" 2>&1 &&
      ctest --test-dir "$win" -E '^(desktop|env|release)\.' --stop-on-failure >>"$log" 2>&1 &&
      ctest --test-dir "$win" -R '^desktop\.run$' >>"$log" 2>&1 && result=missed || result=caught
    first=$(grep -m1 -E '\*\*\*' "$log" | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: //; s/ \.+.*//' || true)
  fi
  cp "$root/$file" "$src/$file"
  case $result in caught) caught=$((caught + 1)) ;; missed) missed=$((missed + 1)) ;; *) broken=$((broken + 1)) ;; esac
  printf '%-44s %-9s %s\n' "$name" "$result" "$first"
done < scripts/mutations.tsv
build || true
echo "caught $caught, missed $missed, broken $broken"
[ $missed -eq 0 ] && [ $broken -eq 0 ]
