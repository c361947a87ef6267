#!/usr/bin/env bash
# Prepares the Wine prefix named by WINEPREFIX for Quorvane's programs and tests: made new
# if it is not there yet, with the few settings a headless display needs.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the prefix to prepare}"
export WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wineboot -i >/dev/null 2>&1
wineserver -w
# Unmanaged top-level windows: captions without a window manager, quick DestroyWindow.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A crash ends the program instead of waiting in a debugger dialog, for 64-bit and
# 32-bit programs alike (each reads its own view of the registry).
for view in 64 32; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d '' /f /reg:$view >/dev/null 2>&1
done
wineserver -w
# The chat client is a 32-bit program: the prefix must run 32-bit programs too, which
# one made after wine32 was installed does.
if [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  echo "wine-prefix: $WINEPREFIX cannot run 32-bit programs: install wine32:i386" >&2
  exit 1
fi
# Tahoma, Marlett and Small Fonts, which Debian's Wine does not load by itself.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
