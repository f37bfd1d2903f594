#!/usr/bin/env bash
# Runs a Windows program in Tavrel's private Wine environment (wine-env.sh).
# Uses the environment in $TAVREL_WINE_ENV when it is up; otherwise starts
# one for this run alone and ends it afterwards, also when interrupted.
set -uo pipefail
# shellcheck source=tavrel-lib.sh
. "$(dirname "$0")/tavrel-lib.sh"
dir=${TAVREL_WINE_ENV:-$PWD/wine-env}
trap 'env_down "$dir"' EXIT
trap 'exit 130' INT TERM HUP
env_up "$dir" || exit 1
"$WINE" "$@"
