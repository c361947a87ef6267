#!/usr/bin/env bash
# Installs every Debian package the build and the tests need and prepares the Wine
# prefix. Quick when everything is already there; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The chat client is a 32-bit program: Wine's 32-bit part (wine32, of the i386
# architecture) runs the 32-bit stand-in messenger, which the i686 compiler builds.
packages=(cmake make g++ googletest libgtest-dev libgmock-dev clang-format
  clang libclang-rt-14-dev nsis
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386 fonts-wine xvfb xauth
  imagemagick git osslsigncode openssl python3 python3-jsonschema python3-yaml)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

export WINEPREFIX="${WINEPREFIX:-$root/.wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix made before wine32 was installed runs no 32-bit program: the project's own is
# made again, any other is left to its owner.
if [ -d "$WINEPREFIX" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  if [ "$WINEPREFIX" != "$root/.wine" ]; then
    echo "setup: $WINEPREFIX runs no 32-bit programs; make it again (or unset WINEPREFIX)" >&2
    exit 1
  fi
  echo "setup: $WINEPREFIX was made before wine32: making it again"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
# The marker names the preparation: a prefix prepared by an older one is prepared again.
marker="$WINEPREFIX/.quorvane-prefix-ready-wow64"
if [ ! -f "$marker" ]; then
  echo "setup: preparing the Wine prefix in $WINEPREFIX"
  "$root/scripts/wine-prefix.sh"
fi
