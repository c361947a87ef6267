#!/usr/bin/env bash
# The release signed with a throwaway self-signed code-signing certificate, made here:
# a certificate that cannot be read stops the configuration; with the right password
# osslsigncode (the certificate as the trusted root) accepts quorvane.exe from the zip,
# the installer, and the uninstall.exe that a silent install under Wine writes, and the
# winget manifest names what the installer registered; the password shows in no log and
# no file; then a wrong password fails the build and leaves no packages behind. Builds
# on the reproducibility test's second build.
#   tests/release/signing_test.sh <build folder> <version>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
. "$here/release_common.sh"
. "$here/../install/scratch_prefix.sh"
first=$1
version=$2
copy="$first/$SECOND_SOURCE"
second="$first/$SECOND_BUILD"
zip="$second/Quorvane-$version-win64.zip"
setup="$second/Quorvane-$version-win64-setup.exe"
[ -f "$second/CMakeCache.txt" ] || { echo "no $second: run release_reproducible first"; exit 1; }

scratch_prefix "$first/signing-test"
log="$scratch/build.log"
keys=$(mktemp -d)  # the certificate lives only as long as the test
trap 'finish_scratch_prefix; rm -rf "$keys"' EXIT
status=0
fail() {
  echo "FAILED: $*"
  status=1
}

password_nowhere() {
  if grep -rlF -- "$password" "$second" "$log"; then
    fail "the password is written in the files above"
  fi
}

verify() {
  local what=$1 file=$2 report
  if report=$(osslsigncode verify -CAfile "$keys/cert.pem" -in "$file" 2>&1) &&
    grep -q "Signature verification: ok" <<<"$report" &&
    grep -q "Text description: Quorvane" <<<"$report" &&
    grep -q "URL description: https://" <<<"$report" &&
    grep -q "Message digest algorithm *: SHA256" <<<"$report"; then
    echo "signed: $what"
  else
    printf '%s\n' "$report"
    fail "$what is not signed as it should be"
  fi
}
echo "== a throwaway code-signing certificate"
password=$(openssl rand -hex 16)
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorvane test signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>/dev/null
QV_PFX_PASSWORD=$password openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" \
  -out "$keys/cert.pfx" -passout env:QV_PFX_PASSWORD
rm "$keys/key.pem"

echo "== a certificate that cannot be read"
if configure_second_build "$copy" "$second" -DQUORVANE_SIGN_PFX="$keys/missing.pfx" 2>"$log"; then
  fail "configured with a missing certificate"
fi
grep -q "no certificate file" "$log" || fail "no clear message: $(cat "$log")"

echo "== the right password"
configure_second_build "$copy" "$second" -DQUORVANE_SIGN_PFX="$keys/cert.pfx"
# --verbose: the commands are echoed into the log, which must not show the password.
if ! QUORVANE_SIGN_PASSWORD=$password cmake --build "$second" --target package --verbose >"$log" 2>&1; then
  cat "$log"
  fail "the signed build failed"
fi
grep "quorvane: signed" "$log"
password_nowhere
(cd "$second" && sha256sum -c SHA256SUMS) || fail "SHA256SUMS does not list the signed packages"

mkdir -p "$scratch/unpacked"
(cd "$scratch/unpacked" && cmake -E tar xf "$zip")
verify "quorvane.exe from the zip" "$scratch/unpacked/Quorvane/quorvane.exe"
verify "the installer" "$setup"
# The signature is all that signing adds: without it the program is the build's again.
osslsigncode remove-signature -in "$scratch/unpacked/Quorvane/quorvane.exe" \
  -out "$scratch/unsigned.exe" >/dev/null
cmp -s "$scratch/unsigned.exe" "$second/quorvane.exe" ||
  fail "quorvane.exe without its signature is not the program that was built"

make_scratch_prefix
echo "== a silent install"
"$wine_run" "$setup" /S '/D=C:\Quorvane' || fail "the silent install failed"
verify "uninstall.exe of the installation" "$WINEPREFIX/drive_c/Quorvane/uninstall.exe"
"$wine_run" reg export 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' "$scratch/uninstall.reg" \
  >/dev/null 2>&1 || fail "no Uninstall key"
python_checks registered "$second/winget" "$scratch/uninstall.reg" || status=1

echo "== a wrong password"
if QUORVANE_SIGN_PASSWORD="not-$password" cmake --build "$second" --target package >"$log" 2>&1; then
  fail "the build succeeded"
fi
grep "signing quorvane.exe failed" "$log" || fail "no clear message: $(tail -20 "$log")"
password_nowhere
for f in "$zip" "$setup" "$second/SHA256SUMS" "$second/winget"; do
  [ ! -e "$f" ] || fail "$f is left after the failed build"
done

exit $status
