#!/usr/bin/env bash
# Sets up this machine, builds the presets and the release packages and runs every test:
# the portable logic natively with AddressSanitizer and UndefinedBehaviorSanitizer and
# again with ThreadSanitizer, a short run of every fuzz target, then everything under Wine
# on a private headless display, the packages installed into a scratch Wine prefix of
# their own, built a second time to the same bytes, signed with a throwaway certificate
# and their winget manifests checked. The window tests that check layout and pictures run
# again at 125, 150 and 200 % in a second prefix (.wine-scaled); every window's screenshot
# at each scale is shots/dpi<scale>_<window>.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
export WINEPREFIX="${WINEPREFIX:-$root/.wine}"

echo "== native build and tests"
"$root/scripts/build.sh" native
ctest --preset native

echo "== unit tests under ThreadSanitizer"
"$root/scripts/build.sh" tsan
ctest --preset tsan

echo "== fuzz targets, 20 s each"
"$root/scripts/fuzz.sh" 20

echo "== windows build and tests (under Wine)"
"$root/scripts/build.sh" windows
echo "== release packages (zip, installer, SHA256SUMS, winget manifests)"
cmake --build --preset windows --target package
rm -rf "$root/build/windows/shots"
# One headless X server and one Wine server kept running for each part of the run: the
# tests at 100 % on a 1280x1024 screen, then those at larger display scales (label
# "scaled", run in the second prefix) on a 2560x1600 screen, as such scales are made for.
status=0
run_under_x() {  # screen size, then ctest's arguments
  local screen=$1
  shift
  xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    wineserver -p 2>/dev/null || true
    # Start Wine'"'"'s background services now: started by the first test they would hold
    # ctest'"'"'s output pipe open until the server ends.
    "'"$root"'/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
    ctest --preset windows "$@"
    rc=$?
    wineserver -k 2>/dev/null || true
    # The second prefix, at other display scales, has a server of its own.
    WINEPREFIX="'"$root"'/.wine-scaled" wineserver -k 2>/dev/null || true
    exit $rc' bash "$@"
}
run_under_x 1280x1024 -LE scaled || status=$?
run_under_x 2560x1600 -L scaled || status=$?

# The window tests leave screenshots as BMP files; keep PNG copies where people look.
if compgen -G "$root/build/windows/shots/*.bmp" >/dev/null; then
  mkdir -p "$root/shots"
  for f in "$root"/build/windows/shots/*.bmp; do
    convert "$f" "$root/shots/$(basename "${f%.bmp}").png"
  done
  echo "screenshots: $root/shots"
fi
exit $status
