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

scratch="$build/install-test"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries or icons written for the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_DATA_HOME="$scratch/xdg-data" XDG_CONFIG_HOME="$scratch/xdg-config"
finish() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
[ -d "$WINEPREFIX" ] && finish
rm -rf "$scratch"
mkdir -p "$scratch/unpacked" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
trap finish EXIT

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

echo "== a fresh Wine prefix in $WINEPREFIX"
"$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh"
wineserver -p 2>/dev/null || true

echo "== install, start, upgrade and uninstall"
to_windows() { echo "Z:${1//\//\\}"; }
QV_UNPACKED=$(to_windows "$scratch/unpacked") QV_SETUP=$(to_windows "$setup") \
  wine "$build/tests/install_tests.exe"
