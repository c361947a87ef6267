#!/usr/bin/env bash
# Sets up this machine, builds both presets and runs every test: the portable logic
# natively with sanitizers, then everything under Wine on a private headless display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
export WINEPREFIX="${WINEPREFIX:-$root/.wine}"

echo "== native build and tests"
"$root/scripts/build.sh" native
ctest --preset native

echo "== windows build and tests (under Wine)"
"$root/scripts/build.sh" windows
# One X server and one Wine server for the whole run; the screenshots the tests ask for
# are taken from here, since a Windows program cannot wait for a Unix one.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  wineserver -p 2>/dev/null || true
  trap "wineserver -k 2>/dev/null || true" EXIT
  export QV_SHOTS_DIR="'"$root"'/shots"
  ctest --preset windows'
