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
# A crash ends the program instead of waiting in a debugger dialog.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
wineserver -w
# Tahoma, Marlett and Small Fonts, which Debian's Wine does not load by itself.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
