#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for the given time, or for the given
# number of inputs, starting from the seed files in fuzz/seeds/<target> and from what
# earlier runs found (build/fuzz/corpus). Prints the executions and the coverage of every
# target; any finding fails the run and leaves its input in build/fuzz/findings.
#   scripts/fuzz.sh [seconds per target (60)] [targets run at once (1)]
#   scripts/fuzz.sh --inputs N [targets run at once (1)]
# A number of inputs is the same work however busy the machine is, where a time is not.
# Likewise an input is slow when it keeps the processor busy for over 10 s (the targets
# watch that themselves); libFuzzer's own limit, on the clock, only catches an input that
# waits for ever, since beside the other tests the targets may get no processor for a while.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [ "${1:-}" = --inputs ]; then
  [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || { echo "fuzz.sh: --inputs wants a number of inputs" >&2; exit 2; }
  limit=(-runs="$2") length="$2 inputs"
  shift 2
else
  limit=(-max_total_time="${1:-60}") length="${1:-60} s"
  shift $(($# > 0))
fi
jobs=${1:-1}
targets=(groups_file_fuzz settings_file_fuzz away_settings_fuzz conversation_fuzz)

"$root/scripts/setup.sh" --no-prefix
"$root/scripts/build.sh" fuzz
build="$root/build/fuzz"
mkdir -p "$build/findings" "$build/logs"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# One target's run; its summary line goes to <log>.line, and a finding fails it.
run_target() {
  local target=$1 corpus="$build/corpus/$1" log="$build/logs/$1.log" rc=0
  mkdir -p "$corpus"
  "$build/fuzz/$target" "${limit[@]}" -timeout=600 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
    "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1 || rc=$?
  local execs done_line cov ft units
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  done_line=$(grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  units=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$done_line")
  printf 'fuzz %-20s %s  %10s executions  coverage %s edges, %s features  corpus %s\n' \
    "$target" "$length" "${execs:-?}" "${cov:-?}" "${ft:-?}" "${units:-?}" >"$log.line"
  [ "$rc" -eq 0 ] || echo "$rc" >"$log.rc"
}

# Up to `jobs` targets at a time.
rm -f "$build"/logs/*.line "$build"/logs/*.rc
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$target" &
done
wait

status=0
for target in "${targets[@]}"; do
  log="$build/logs/$target.log"
  cat "$log.line"
  if [ -f "$log.rc" ]; then
    echo "fuzz $target: FINDING (exit $(cat "$log.rc")), log $log" >&2
    grep -E 'rule broken|ERROR: |runtime error|SUMMARY|Test unit written' "$log" >&2 || tail -20 "$log" >&2
    status=1
  fi
done
exit $status
