#!/usr/bin/env bash
# Installs every Debian package the build and the tests need and prepares the Wine
# prefix. Quick when everything is already there; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(cmake make g++ googletest libgtest-dev libgmock-dev clang-format
  clang libclang-rt-14-dev nsis
  g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

export WINEPREFIX="${WINEPREFIX:-$root/.wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
marker="$WINEPREFIX/.quorvane-prefix-ready"
if [ ! -f "$marker" ]; then
  echo "setup: preparing the Wine prefix in $WINEPREFIX"
  "$root/scripts/wine-prefix.sh"
fi
