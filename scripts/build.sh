#!/usr/bin/env bash
# Configures (once) and builds the given presets: native, sanitize, fuzz, win32.
set -eu
cd "$(dirname "$0")/.."
for preset in "$@"; do
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >"build-$preset.log" 2>&1 || { cat "build-$preset.log"; rm -f "build-$preset.log"; exit 1; }
    rm -f "build-$preset.log"
  fi
  cmake --build "build/$preset" -- -k 0 | grep -v -E '^\[[0-9]+/[0-9]+\] ' || true
  cmake --build "build/$preset" >/dev/null 2>&1 || { echo "build of $preset failed"; exit 1; }
done
