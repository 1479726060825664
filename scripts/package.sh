#!/usr/bin/env bash
# Builds the release package build/Korvane-<version>-win32.zip: the stripped
# Korvane.exe, the help pages and readme.txt (code page 932, CR LF) for
# users, all at the top of the archive. The version is the exe's version
# record's, from res/version.h.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh win32
version=$(sed -n 's/^#define KORVANE_FILE_VERSION_TEXT "\([0-9.]*\)"$/\1/p' res/version.h)
[ -n "$version" ] || { echo "no version in res/version.h" >&2; exit 1; }
package=$PWD/build/Korvane-$version-win32.zip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp build/win32/dist/Korvane.exe "$stage/"   # already stripped by the build
cp build/win32/dist/*.html "$stage/"
sed "s/@VERSION@/$version/" res/readme.txt | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$stage/readme.txt"

rm -f "$package"
python3 - "$stage" "$package" <<'PY'
import os, sys, zipfile
stage, package = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(package, "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(stage)):
        z.write(os.path.join(stage, name), name)
PY
echo "$package"
