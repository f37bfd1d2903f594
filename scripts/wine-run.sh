#!/usr/bin/env bash
# Runs a Windows program in Tavrel's private Wine environment (wine-env.sh).
# Uses the environment in $TAVREL_WINE_ENV when it is up; otherwise starts
# one for this run alone and ends it afterwards, also when interrupted.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${TAVREL_WINE_ENV:-$PWD/wine-env}
if ! "$here/wine-env.sh" status "$dir"; then
  trap '"$here/wine-env.sh" stop "$dir"' EXIT
  trap 'exit 130' INT TERM HUP
  "$here/wine-env.sh" start "$dir" || exit 1
fi
# shellcheck disable=SC1091
. "$dir/env.sh"
"$WINE" "$@"
