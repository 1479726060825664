#!/usr/bin/env bash
# What the exe carries, read as Windows reads it: the application manifest
# (runs as the invoker, names the Windows versions it is written for, no DPI
# awareness, no common controls version 6), one version in the version
# record and in the release package (res/version.h's), none of the
# runtime's verbose terminate handler (it brought the demangler along) and
# no POSIX thread layer.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install
exe=$(e2e_winpath "$E2E_DIR/Korvane.exe")

manifest=$(e2e_probe resource "$exe" 24 1) || fail "the exe carries a manifest (RT_MANIFEST 1)"
has() { grep -q -- "$1" <<<"$manifest"; }
check "the manifest asks for the level asInvoker" has 'requestedExecutionLevel level="asInvoker"'
check "and no access to the user interface of others" has 'uiAccess="false"'
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
          1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  check "it names the Windows version {$os}" has "<supportedOS Id=\"{$os}\"/>"
done
check "it declares no DPI awareness" test "$(grep -ci dpiaware <<<"$manifest")" = 0
check "it asks for no version of the common controls" test "$(grep -ci common-controls <<<"$manifest")" = 0
check "it is well-formed XML" python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parseString(sys.stdin.buffer.read())' <<<"$manifest"

version=$(sed -n 's/^#define KORVANE_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$KORVANE_ROOT/res/version.h")
numbers=$(sed -n 's/^#define KORVANE_VERSION \([0-9,]*\)$/\1/p' "$KORVANE_ROOT/res/version.h")
check_eq "res/version.h says one number in both forms" "$version" "${numbers//,/.}"
record=$(e2e_probe version "$exe" | tr -d '\r')
check_eq "the version record: file, product and their texts all say it" \
  "$(printf 'file %s\nproduct %s\nFileVersion %s\nProductVersion %s\nProductName Korvane\nOriginalFilename Korvane.exe' \
     "$version" "$version" "$version" "$version")" "$record"

check_eq "no verbose terminate handler in the exe" 0 \
  "$(grep -c -a 'terminate called after throwing' "$E2E_DIR/Korvane.exe")"
# Linked against the win32-thread C++ runtime: no POSIX thread layer (its
# source names show in its assertions), nor what it alone imports.
check_eq "no POSIX thread layer in the exe" 0 "$(grep -c -a 'winpthreads' "$E2E_DIR/Korvane.exe")"
imports=$(i686-w64-mingw32-objdump -p "$E2E_DIR/Korvane.exe")
check "it imports no thread suspension" test "$(grep -c -E 'SuspendThread|SetThreadContext' <<<"$imports")" = 0
echo "  the stripped exe: $(stat -c %s "$E2E_DIR/Korvane.exe") bytes"

# The release package, packed from this build as it is.
if "$KORVANE_ROOT/scripts/package.sh" --no-build --out "$E2E_TMP" >"$E2E_TMP/package.log" 2>&1; then
  zip=$E2E_TMP/Korvane-$version-win32.zip
  check "the package is named with the version" test -s "$zip"
  mkdir "$E2E_TMP/unpacked"
  python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$E2E_TMP/unpacked"
  check_eq "its readme's first line names the version" "Korvane バージョン $version" \
    "$(head -1 "$E2E_TMP/unpacked/readme.txt" | iconv -f CP932 -t UTF-8 | tr -d '\r')"
  check "it holds the exe as built" cmp -s "$E2E_TMP/unpacked/Korvane.exe" "$E2E_DIR/Korvane.exe"
else
  fail "the package is packed" "$(cat "$E2E_TMP/package.log")"
fi
e2e_finish
