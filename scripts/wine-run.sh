#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix and quiet settings, through
# the loader that wine-env.sh chose for this machine.
#   wine-run.sh [--needs-32bit] program [arguments...]
# With --needs-32bit, on a machine that runs no 32-bit programs, nothing runs: it says why
# on one line and exits with 77, which ctest counts as skipped.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ "${1:-}" = --needs-32bit ]; then
  shift
  if [ "$QV_WINE_32BIT" != yes ]; then
    echo "skipped: $QV_WINE_32BIT_WHY"
    exit 77
  fi
fi
exec "$QV_WINE" "$@"
