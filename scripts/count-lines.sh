#!/usr/bin/env bash
# Lines of the tests against lines of the program: lines that are neither
# blank nor only a comment (// in C++ and resources, # in shell scripts), of
# the files git knows. The program is core, app, analysis, capture, windows,
# dialogs, res and bench, and scripts: the run, install and release commands
# and the test environment, which the shell tests under tests/ check; the
# tests are tests/.
#
#   scripts/count-lines.sh [-v]    -v lists every file
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  case $1 in
    *.sh) grep -cvE '^\s*(#.*)?$' "$1" || true ;;
    *) grep -cvE '^\s*(//.*)?$' "$1" || true ;;
  esac
}
total() {
  local sum=0 n f
  for f in $(git ls-files "$@" | grep -E '\.(cpp|h|rc|sh)$'); do
    n=$(count "$f"); sum=$((sum + n))
    [ "${verbose:-0}" = 1 ] && printf '%6d  %s\n' "$n" "$f" >&2
  done
  echo "$sum"
}
[ "${1:-}" = -v ] && verbose=1
program=$(total core app analysis capture windows dialogs res bench scripts)
tests=$(total tests)
awk -v p="$program" -v t="$tests" \
  'BEGIN { printf "program %d lines, tests %d lines, tests / program = %.3f\n", p, t, t / p }'
