#!/usr/bin/env bash
# Builds the release package build/Korvane-<version>-win32.zip: the stripped
# Korvane.exe, the help pages and readme.txt (code page 932, CR LF) for
# users, all at the top of the archive. The version is the exe's version
# record's, from res/version.h.
#
# Options: --no-build packs what build/win32/dist (or $KORVANE_BUILD/dist)
# holds as it is (the tests do so); --out DIR puts the zip there instead of build/.
set -eu
cd "$(dirname "$0")/.."
build=1
out=$PWD/build
while [ $# -gt 0 ]; do
  case $1 in
    --no-build) build=0; shift ;;
    --out) out=$(cd "$2" && pwd); shift 2 ;;
    *) echo "usage: $0 [--no-build] [--out DIR]" >&2; exit 2 ;;
  esac
done
[ "$build" = 0 ] || ./scripts/build.sh win32
version=$(sed -n 's/^#define KORVANE_VERSION_TEXT "\([0-9.]*\)"$/\1/p' res/version.h)
[ -n "$version" ] || { echo "no version in res/version.h" >&2; exit 1; }
package=$out/Korvane-$version-win32.zip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dist=${KORVANE_BUILD:-$PWD/build/win32}/dist
cp "$dist/Korvane.exe" "$stage/"   # already stripped by the build
cp "$dist"/*.html "$stage/"
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
