#!/usr/bin/env bash
# Checks the release packages as a Windows user meets them: the zip's list of files and
# text line ends here, then install_tests.exe in a fresh scratch Wine prefix (never the
# build's own), which unpacked zip and installer it is given.
#   tests/install/run_install_tests.sh <build folder> <version>
# Needs an X display (DISPLAY) and the packages (the build's "package" target).
set -euo pipefail
build=$1
version=$2
zip="$build/Quorvane-$version-win64.zip"
setup="$build/Quorvane-$version-win64-setup.exe"
for f in "$zip" "$setup"; do
  [ -f "$f" ] || { echo "missing $f: build the package target first"; exit 1; }
done

. "$(dirname "${BASH_SOURCE[0]}")/scratch_prefix.sh"
scratch_prefix "$build/install-test"
mkdir -p "$scratch/unpacked"

echo "== the zip's files"
expected=$'Quorvane/\nQuorvane/LICENSE.txt\nQuorvane/README.txt\nQuorvane/quorvane.exe'
listing=$(cmake -E tar tf "$zip" | LC_ALL=C sort)
if [ "$listing" != "$expected" ]; then
  printf 'the zip holds:\n%s\nexpected:\n%s\n' "$listing" "$expected"
  exit 1
fi
(cd "$scratch/unpacked" && cmake -E tar xf "$zip")
for f in README.txt LICENSE.txt; do
  if grep -qv $'\r$' "$scratch/unpacked/Quorvane/$f"; then
    echo "$f has lines without CR LF"
    exit 1
  fi
done

make_scratch_prefix

echo "== install, start, upgrade and uninstall"
to_windows() { echo "Z:${1//\//\\}"; }
QV_UNPACKED=$(to_windows "$scratch/unpacked") QV_SETUP=$(to_windows "$setup") \
  "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-run.sh" "$build/tests/install_tests.exe"
