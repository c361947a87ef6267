#!/usr/bin/env bash
# Sets up, builds the Windows programs and starts Quorvane with the stand-in messenger in
# the working folder run/. With DISPLAY set, both open on your display for you to try;
# without one, a short demo plays on a headless display and leaves screenshots in shots/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"

echo "== building the windows preset"
"$root/scripts/build.sh" windows
build="$root/build/windows"
to_windows() { echo "Z:${1//\//\\}"; }
mkdir -p "$root/run"
run_win=$(to_windows "$root/run")

if [ -n "${DISPLAY:-}" ]; then
  echo "== Quorvane and the stand-in messenger on $DISPLAY, working folder $root/run"
  echo "   Type a default reply in Quorvane and press [ Activate ]; then, in the stand-in's"
  echo "   window, enter a contact ID and a message and press \"Receive message\"."
  "$QV_WINE" "$build/standin_messenger/standin_messenger.exe" --transcript "$run_win\\standin_transcript.txt" &
  messenger=$!
  (cd "$root/run" && "$QV_WINE" "$build/quorvane.exe") || true
  # Quorvane has been closed: the stand-in goes too.
  kill "$messenger" 2>/dev/null || true
  wait "$messenger" 2>/dev/null || true
  exit 0
fi

echo "== no DISPLAY: a short demo on a headless display, working folder $root/run"
mkdir -p "$root/shots"
rm -f "$root"/shots/demo_*.bmp "$root"/shots/demo_*.png
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p 2>/dev/null || true
  "$QV_WINE" "$0" "$1" "$2"
  rc=$?
  wineserver -k 2>/dev/null || true
  exit $rc' "$build/tools/demo/quorvane_demo.exe" "$run_win" "$(to_windows "$root/shots")" ||
  status=$?
for f in "$root"/shots/demo_*.bmp; do
  [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
echo "== screenshots of the demo: $root/shots/demo_*.png"
exit $status
