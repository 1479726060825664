#!/usr/bin/env bash
# Runs one fuzzer longer than the test suite does: scripts/fuzz-long.sh NAME
# [SECONDS] (default 600). It starts from the seed corpus in the repository
# but grows a working corpus under build/fuzz-long/NAME, so the committed
# seeds stay as they are; a crashing input is saved there as crash-*.
set -eu
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/fuzz-long.sh NAME [SECONDS]  (NAME e.g. ini_fuzz)}
seconds=${2:-600}
./scripts/build.sh fuzz
exe=build/fuzz/tests/fuzz/$name
[ -x "$exe" ] || { echo "no fuzzer $name (tests/fuzz/$name.cpp)"; exit 1; }
work=build/fuzz-long/$name
mkdir -p "$work/corpus"
if [ -d "tests/fuzz/corpus/$name" ]; then
  cp -n "tests/fuzz/corpus/$name"/* "$work/corpus/" 2>/dev/null || true
fi
echo "Fuzzing $name for $seconds s; corpus $work/corpus"
"$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus"
