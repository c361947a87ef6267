#!/usr/bin/env bash
# The release built a second time, from a copy of the source in another folder into
# another build folder, later, under another umask and time zone: the zip, the
# installer, quorvane.exe and SHA256SUMS must be byte for byte those of the first build,
# every time stamp in them the release time, and no folder, user or host name of the
# builds inside. The second build makes only the program and the packages; the signing
# test builds on it.
#   tests/release/reproducible_test.sh <source folder> <build folder> <version>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/release_common.sh"
src=$1
first=$2
version=$3
copy="$first/$SECOND_SOURCE"
second="$first/$SECOND_BUILD"
files=("Quorvane-$version-win64.zip" "Quorvane-$version-win64-setup.exe" quorvane.exe SHA256SUMS)
for f in "${files[@]}"; do
  [ -f "$first/$f" ] || { echo "missing $first/$f: build the package target first"; exit 1; }
done

if grep -q "^QUORVANE_SIGN_PFX:FILEPATH=." "$first/CMakeCache.txt"; then
  echo "$first signs its packages: this test compares unsigned builds"
  exit 1
fi

echo "== a copy of the source in $copy"
rm -rf "$copy"
mkdir -p "$copy"
git -C "$src" ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$src/$f" ] && printf '%s\0' "$f"; done |
  tar -C "$src" --null -T - -cf - | tar -C "$copy" -xf -

echo "== the second build in $second"
rm -rf "$second"
# The copy is no git checkout: it is given the first build's release time, the last
# commit's, which the first build took by itself (unless it was given one too).
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct)}
(
  umask 0027
  export TZ=XYZ-14 SOURCE_DATE_EPOCH=$epoch
  configure_second_build "$copy" "$second" -DQUORVANE_SIGN_PFX=
  cmake --build "$second" --target quorvane -- -j2 >/dev/null
  cmake --build "$second" --target package
)

echo "== the same bytes"
status=0
for f in "${files[@]}"; do
  if cmp -s "$first/$f" "$second/$f"; then
    echo "same: $(sha256sum "$first/$f" | cut -c1-64)  $f"
  else
    echo "DIFFERENT: $f ($(cmp "$first/$f" "$second/$f" 2>&1 | head -1))"
    status=1
  fi
done
(cd "$first" && sha256sum -c --quiet SHA256SUMS) || status=1
[ "$(wc -l <"$first/SHA256SUMS")" -eq 2 ] || { echo "SHA256SUMS has not two lines"; status=1; }
! grep -q $'\r' "$first/SHA256SUMS" || { echo "SHA256SUMS has CR line ends"; status=1; }
[ $status -eq 0 ] ||
  echo "(packages made before the last commit differ from it: build the package target again)"
python_checks times "$first/Quorvane-$version-win64.zip" "$first/Quorvane-$version-win64-setup.exe" \
  "$first/quorvane.exe" "$epoch" || status=1

echo "== no folder, user or host name inside"
unpacked="$second/unpacked"
rm -rf "$unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$second/Quorvane-$version-win64.zip")
names=("$src" "$copy" "$first" "$second" "$HOME")
words=()
for w in "$(id -un)" "$(hostname)"; do
  [ ${#w} -ge 4 ] && words+=("$w")  # shorter ones turn up in any binary by chance
done
for f in "$second/Quorvane-$version-win64-setup.exe" "$unpacked"/Quorvane/*; do
  text=$(strings -a "$f"; strings -a -e l "$f")
  found=$(grep -F "${names[@]/#/-e}" <<<"$text" || true)
  [ ${#words[@]} -eq 0 ] || found+=$(grep -w "${words[@]/#/-e}" <<<"$text" || true)
  if [ -n "$found" ]; then
    printf '%s names the build:\n%s\n' "$f" "$found"
    status=1
  fi
done
exit $status
