#!/usr/bin/env bash
# Configures (once) and builds the given presets: native, sanitize, fuzz, win32.
set -eu
cd "$(dirname "$0")/.."
for preset in "$@"; do
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >"build-$preset.log" 2>&1 || { cat "build-$preset.log"; rm -f "build-$preset.log"; exit 1; }
    rm -f "build-$preset.log"
  fi
  # One build: its progress lines are dropped, errors and warnings stay.
  cmake --build --preset "$preset" -- -k 0 | { grep -v -E '^\[[0-9]+/[0-9]+\] ' || true; }
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "build of $preset failed"; exit 1; }
done
