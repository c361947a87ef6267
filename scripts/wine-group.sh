#!/usr/bin/env bash
# Runs one group of the Windows tests (ctest arguments choosing them, such as a label) in
# surroundings of its own, so that groups can run side by side: a headless X server on a
# display nobody else uses, a Wine prefix copied from the prepared one with a Wine server
# of its own, and (through QV_TEST_GROUP) working folders of its own.
#   wine-group.sh NAME SCREEN PREFIX [ctest arguments...]
#   wine-group.sh NAME SCREEN PREFIX --run program [arguments...]
# NAME names the group, SCREEN is the X screen's size (1280x1024), PREFIX the group's Wine
# prefix: made anew from the prepared prefix (WINEPREFIX, default .wine) unless it is the
# second prefix .wine-scaled, whose scale the scaled tests set themselves. With --run, one
# Windows program runs there in place of ctest (scripts/pictures.sh).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. "$root/scripts/wine-env.sh"
name=$1 screen=$2 prefix=$3
shift 3

template=$WINEPREFIX
# Scratch prefixes of the release tests are copied from the prepared prefix too.
export WINEPREFIX=$prefix QV_TEST_GROUP=$name QV_PREFIX_TEMPLATE=$template
[ "$prefix" = "$root/.wine-scaled" ] || rm -rf "$prefix"
"$root/scripts/wine-prefix.sh" --copy-of "$template" || exit 1

# Xvfb picks a free display itself and writes its number once it accepts clients.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$display_file" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.05
done
display=$(head -n 1 "$display_file")
rm -f "$display_file"
if [ -z "$display" ]; then
  echo "$name: the headless X server did not start"
  exit 1
fi
export DISPLAY=":$display"

wineserver -p 2>/dev/null || true
# Start Wine's background services now: started by the first test they would hold ctest's
# output pipe open until the server ends.
"$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
if [ "${1:-}" = --run ]; then
  shift
  "$QV_WINE" "$@"
else
  ctest --preset windows "$@"
fi
status=$?
wineserver -k 2>/dev/null || true
kill $xvfb 2>/dev/null
wait $xvfb 2>/dev/null
exit $status
