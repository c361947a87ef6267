#!/usr/bin/env bash
# Builds the engine benchmark (windows preset) and runs it under Wine on a private
# headless display: reply latency over N conversations, the guard thread's CPU time while
# idle for S seconds, and the program's CPU time while idle for S seconds, off guard and on
# guard, with the away watch off and on.
#   scripts/bench-engine.sh [conversations (20)] [idle seconds (60)]
# BUILD_DIR chooses the build folder (default build/windows).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${BUILD_DIR:-$root/build/windows}
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target engine_bench standin_messenger quorvane
out=$(mktemp)
# Wine's helper processes keep inherited pipes open, so the output goes through a file.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "
  wineserver -p 2>/dev/null || true
  \"\$QV_WINE\" '$build/benchmarks/engine_bench.exe' ${1:-20} ${2:-60} >'$out' 2>&1
  rc=\$?
  wineserver -k 2>/dev/null || true
  exit \$rc" </dev/null >/dev/null 2>&1 || status=$?
cat "$out"
rm -f "$out"
exit ${status:-0}
