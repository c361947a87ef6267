#!/usr/bin/env bash
# Builds the soak benchmark (windows preset) and runs the real quorvane.exe against the
# stand-in messenger under Wine on a private headless display: one conversation after
# another with reply interval 0, a third of the contacts in reply groups. Prints missed,
# doubled and wrong replies (exits non-zero unless all are 0), conversations per minute,
# the reply latency and the program's resident memory (from /proc) at the start, the
# middle and the end.
#   scripts/bench-soak.sh [conversations (150)] [contacts (30)] [normal|lite (normal)]
# BUILD_DIR chooses the build folder (default build/windows).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=$(realpath -m "${BUILD_DIR:-$root/build/windows}")
conversations=${1:-150}
contacts=${2:-30}
case "${3:-normal}" in
  normal) lite=0 ;;
  lite) lite=1 ;;
  *) echo "usage: $0 [conversations] [contacts] [normal|lite]" >&2; exit 2 ;;
esac
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target soak_bench quorvane standin_messenger
folder="$build/apprun/soak"

# The resident size of the quorvane.exe that runs in the soak's working folder (tests
# and other clones may run theirs at the same time).
resident_kb() {
  local p cmd
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/cwd" 2>/dev/null)" = "$folder" ] || continue
    cmd=$(tr '\0' ' ' <"$p/cmdline" 2>/dev/null) || continue
    case "$cmd" in *quorvane.exe*) ;; *) continue ;; esac
    awk '/^VmRSS:/ { print $2 }' "$p/status" 2>/dev/null && return 0
  done
  echo "?"
}

# Answers the benchmark's requests for the memory figure while it runs.
answer_memory_requests() {
  local request moment
  while true; do
    for request in "$folder"/rss_request_*.txt; do
      [ -e "$request" ] || continue
      moment=${request##*/rss_request_}
      moment=${moment%.txt}
      [ -e "$folder/rss_$moment.txt" ] && continue
      resident_kb >"$folder/rss_$moment.part"
      mv "$folder/rss_$moment.part" "$folder/rss_$moment.txt"
    done
    sleep 0.2
  done
}

out=$(mktemp)
rm -f "$folder"/rss_*
answer_memory_requests &
answerer=$!
# Wine's helper processes keep inherited pipes open, so the output goes through a file.
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "
  wineserver -p 2>/dev/null || true
  \"\$QV_WINE\" '$build/benchmarks/soak_bench.exe' $conversations $contacts $lite >'$out' 2>&1
  rc=\$?
  wineserver -k 2>/dev/null || true
  exit \$rc" </dev/null >/dev/null 2>&1 || status=$?
kill "$answerer" 2>/dev/null || true
wait "$answerer" 2>/dev/null || true
cat "$out"
rm -f "$out"
exit $status
