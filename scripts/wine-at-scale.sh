#!/usr/bin/env bash
# Runs a Windows program under Wine at another display scale: in the second prefix
# (.wine-scaled, made on first use), whose scale is set to DPI first. Runs that share
# this prefix must follow one another, as ctest runs them.
#   wine-at-scale.sh DPI program [arguments...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=$1
shift
export WINEPREFIX="${QV_SCALED_PREFIX:-$root/.wine-scaled}"
"$root/scripts/wine-prefix.sh" --dpi "$dpi" --copy-of "${QV_PREFIX_TEMPLATE:-$root/.wine}"
# Wine's desktop process, started by the call that set the scale, works with the scale it
# read at its start, the previous one: end it with its server, to start again below.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# Keep this prefix's server and background services running, started without the
# caller's output: started by the program they would hold ctest's output pipe open.
wineserver -p 2>/dev/null || true
"$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
exec "$root/scripts/wine-run.sh" "$@"
