#!/usr/bin/env bash
# Configures and builds one preset ("native" or "windows").
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
preset=$1
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
