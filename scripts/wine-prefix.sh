#!/usr/bin/env bash
# Prepares the Wine prefix named by WINEPREFIX for Quorvane's programs and tests: made new
# if it is not there yet, with the few settings a headless display needs. A prefix already
# prepared is left as it is.
#   --dpi N        the prefix's display scale (96 = 100 %, 120, 144, 192 = 200 %), set on a
#                  prepared prefix too; programs started afterwards draw at that scale.
#   --copy-of DIR  a prefix not prepared yet is made as a copy of the prepared prefix DIR
#                  (a second or so) rather than from nothing (15 s or more).
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the prefix to prepare}"
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
dpi=""
template=""
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi) dpi=$2; shift 2 ;;
    --copy-of) template=$2; shift 2 ;;
    *) echo "wine-prefix.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

# The marker names the preparation: a prefix prepared by an older one, or without the
# 32-bit part that this machine can run, is prepared again.
marker_wow64=.quorvane-prefix-ready-wow64
marker_win64=.quorvane-prefix-ready-win64
prepared() {  # prefix folder
  [ -f "$1/$marker_wow64" ] || { [ "$QV_WINE_32BIT" = no ] && [ -f "$1/$marker_win64" ]; }
}

set_scale() {
  # Wine reads the scale from both keys.
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "$QV_WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
}

# A copy of a prepared prefix. Its libraries, nine tenths of its size, are only ever read,
# so they are linked rather than copied; the registry and every other file is copied, as
# Wine rewrites some of them in place. The old server's socket name stays behind.
copy_prefix() {
  local from=$1 to=$2 dir
  rm -rf "$to"
  mkdir -p "$to"
  tar -C "$from" --exclude=./wineserver --exclude=./drive_c/windows/system32 \
    --exclude=./drive_c/windows/syswow64 -cf - . | tar -C "$to" -xf -
  for dir in system32 syswow64; do
    [ ! -d "$from/drive_c/windows/$dir" ] || cp -al "$from/drive_c/windows/$dir" "$to/drive_c/windows/"
  done
}

# Free text (replies, messages, names) is drawn in Segoe UI, which Windows links to its
# fonts for Chinese, Japanese, Korean and symbols. Wine has no Segoe UI: here it is
# DejaVu Sans (Latin, Greek, Cyrillic, Hebrew, Arabic, many emoji), linked the same way
# to the Linux fonts that fontconfig finds, WenQuanYi Micro Hei and Symbola. The names
# that Wine's text layout in edit boxes falls back to for those scripts are taken to
# WenQuanYi Micro Hei. Only this prefix changes, nothing the program does on Windows.
# Done once for a prefix, also for one prepared before.
marker_fonts=.quorvane-prefix-fonts
link_fonts() {
  [ ! -f "$WINEPREFIX/$marker_fonts" ] || return 0
  local name
  "$QV_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Segoe UI" /t REG_SZ \
    /d "DejaVu Sans" /f >/dev/null 2>&1
  "$QV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "DejaVu Sans" /t REG_MULTI_SZ /f \
    /d 'wqy-microhei.ttc,WenQuanYi Micro Hei\0Symbola_hint.ttf,Symbola' >/dev/null 2>&1
  for name in "MS Gothic" "MS UI Gothic" "MS Mincho" "SimSun" "MingLiU" "PMingLiU" \
    "Microsoft YaHei" "Microsoft YaHei UI" "Microsoft JhengHei" "Meiryo" "Meiryo UI" \
    "Yu Gothic UI" "Batang" "Gulim" "Malgun Gothic"; do
    "$QV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "$name" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/$marker_fonts"
}

if prepared "$WINEPREFIX"; then
  link_fonts
  [ -z "$dpi" ] || set_scale
  exit 0
fi
if [ -n "$template" ] && prepared "$template"; then
  copy_prefix "$template" "$WINEPREFIX"
  link_fonts
  [ -z "$dpi" ] || { set_scale && wineserver -w; }
  exit 0
fi
echo "wine-prefix: making $WINEPREFIX"
"$QV_WINE" wineboot.exe -i >/dev/null 2>&1
wineserver -w
# Unmanaged top-level windows: captions without a window manager, quick DestroyWindow.
"$QV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A crash ends the program instead of waiting in a debugger dialog, for 64-bit and
# 32-bit programs alike (each reads its own view of the registry).
for view in 64 32; do
  "$QV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d '' /f /reg:$view >/dev/null 2>&1
done
[ -z "$dpi" ] || set_scale
wineserver -w
marker=$marker_win64
# The chat client is a 32-bit program: where this machine runs 32-bit programs the prefix
# must run them too, which one made after wine32 was installed does.
if [ "$QV_WINE_32BIT" = yes ]; then
  if [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "wine-prefix: $WINEPREFIX cannot run 32-bit programs: install wine32:i386" >&2
    exit 1
  fi
  marker=$marker_wow64
fi
# Tahoma, Marlett and Small Fonts, which Debian's Wine does not load by itself.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
link_fonts
touch "$WINEPREFIX/$marker"
