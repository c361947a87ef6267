#!/usr/bin/env bash
# Makes the user guide's pictures, docs/*.png, from the current sources: builds the
# windows preset's program, stand-in messenger and demo, then lets the demo work Quorvane
# on a headless display of its own (1280x1024, 100 %) in a fresh copy of the Wine prefix
# and shoot each window. Wine shows the notification-area icon in a small tray window of
# its own, which is what tray_tooltip.png and tray_menu.png show.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows --target quorvane_demo

build="$root/build/windows"
shots="$build/pictures"
rm -rf "$shots"
mkdir -p "$shots"
to_windows() { echo "Z:${1//\//\\}"; }
"$root/scripts/wine-group.sh" pictures 1280x1024 "$root/.wine-groups/pictures" \
  --run "$build/tools/demo/quorvane_demo.exe" --pictures "$(to_windows "$shots")"
# Without time stamps in them, pictures taken again of the same windows are the same bytes.
for f in "$shots"/*.bmp; do
  convert "$f" -strip "$root/docs/$(basename "${f%.bmp}").png"
  echo "docs/$(basename "${f%.bmp}").png"
done
