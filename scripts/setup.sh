#!/usr/bin/env bash
# Installs every Debian package the build and the tests need and prepares the Wine
# prefix (not with --no-prefix, for a caller that prepares it itself or needs no Wine).
# Quick when everything is already there; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(cmake make g++ binutils googletest libgtest-dev libgmock-dev clang-format
  clang libclang-rt-14-dev nsis
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 fonts-wine fonts-wqy-microhei
  fonts-symbola fonts-dejavu-core xvfb xauth
  imagemagick git osslsigncode openssl python3 python3-jsonschema python3-yaml)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
updated=""
install_missing() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "setup: installing ${missing[*]}"
  case " ${missing[*]}" in
    *:i386*) dpkg --print-foreign-architectures | grep -qx i386 ||
      { $sudo dpkg --add-architecture i386 && updated=""; } ;;
  esac
  [ -n "$updated" ] || { $sudo apt-get update -qq && updated=1; }
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
install_missing "${packages[@]}"

# The chat client is a 32-bit program: Wine's 32-bit part (wine32, of the i386
# architecture) runs the 32-bit stand-in messenger. It is installed only where a 32-bit
# program runs, found by running one; elsewhere it would stop every Wine call, and the
# tests that need it are skipped (wine-env.sh).
. "$root/scripts/wine-env.sh"
if [ "$QV_WINE_32BIT" = no ] && [ "${QV_NO_32BIT:-}" != 1 ] && qv_kernel_runs_32bit; then
  install_missing wine32:i386
  unset QV_WINE_32BIT QV_WINE
  . "$root/scripts/wine-env.sh"
fi
[ "$QV_WINE_32BIT" = yes ] || echo "setup: 32-bit programs are not run: $QV_WINE_32BIT_WHY"

# A prefix made before wine32 was installed runs no 32-bit program: the project's own is
# made again, any other is left to its owner.
if [ "$QV_WINE_32BIT" = yes ] && [ -d "$WINEPREFIX" ] &&
  [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  if [ "$WINEPREFIX" != "$root/.wine" ]; then
    echo "setup: $WINEPREFIX runs no 32-bit programs; make it again (or unset WINEPREFIX)" >&2
    exit 1
  fi
  echo "setup: $WINEPREFIX was made before wine32: making it again"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
[ "${1:-}" = --no-prefix ] || "$root/scripts/wine-prefix.sh"
