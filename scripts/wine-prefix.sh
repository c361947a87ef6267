#!/usr/bin/env bash
# Prepares the Wine prefix named by WINEPREFIX for Quorvane's programs and tests: made new
# if it is not there yet, with the few settings a headless display needs. A prefix already
# prepared is left as it is.
#   --dpi N   the prefix's display scale (96 = 100 %, 120, 144, 192 = 200 %), set on a
#             prepared prefix too; programs started afterwards draw at that scale.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the prefix to prepare}"
dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi) dpi=$2; shift 2 ;;
    *) echo "wine-prefix.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
export WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The marker names the preparation: a prefix prepared by an older one is prepared again.
marker="$WINEPREFIX/.quorvane-prefix-ready-wow64"

set_scale() {
  # Wine reads the scale from both keys.
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
}

if [ -f "$marker" ]; then
  [ -z "$dpi" ] || set_scale
  exit 0
fi
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
[ -z "$dpi" ] || set_scale
wineserver -w
# The chat client is a 32-bit program: the prefix must run 32-bit programs too, which
# one made after wine32 was installed does.
if [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  echo "wine-prefix: $WINEPREFIX cannot run 32-bit programs: install wine32:i386" >&2
  exit 1
fi
# Tahoma, Marlett and Small Fonts, which Debian's Wine does not load by itself.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
touch "$marker"
