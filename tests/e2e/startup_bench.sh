#!/usr/bin/env bash
# Start-up figures: milliseconds from the process's creation to its visible
# main window, median of RUNS starts (default 9) each, for the smallest Win32
# window program and for Korvane with 0, 20 and 1,000 group files beside it
# (each in a folder of its own), and each Korvane figure's ratio to the
# empty window's. Measured inside Wine by korvane_probe; the four programs
# take turns, so a noisy moment of the machine falls on all of them.
# Prints figures only.
#   tests/e2e/startup_bench.sh [RUNS]
source "$(dirname "$0")/lib.sh"
runs=${1:-9}
counts=(0 20 1000)
e2e_begin startup_bench
for n in "${counts[@]}"; do
  e2e_install "groups$n"
  e2e_many_groups "$n"
done
cp "$E2E_FIXTURES/fixture_window.exe" "$E2E_TMP/"

# time_one EXE CLASS TITLE: one start, closed and waited for; prints the ms.
time_one() {
  local exe=$1 out ms hwnd
  out=$(e2e_time_start "$exe" "$2" "$3") || { echo "no window from $exe" >&2; exit 1; }
  read -r ms hwnd <<<"$out"
  e2e_probe close "$hwnd" >/dev/null
  e2e_probe --exe "$(basename "$exe")" wait-exit 10000 >/dev/null || { echo "$exe did not end" >&2; exit 1; }
  echo "$ms"
}
empty_one() { time_one "$E2E_TMP/fixture_window.exe" KorvaneFixtureWindow Fixture; }
korvane_one() { time_one "$E2E_TMP/groups$1/Korvane.exe" TFrmFR0010MN Korvane; }

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One start of each first: the first start of a prefix loads more.
empty_one >/dev/null
for n in "${counts[@]}"; do korvane_one "$n" >/dev/null; done
empty=() k0=() k20=() k1000=()
for ((i = 0; i < runs; i++)); do
  empty+=("$(empty_one)")
  k0+=("$(korvane_one 0)")
  k20+=("$(korvane_one 20)")
  k1000+=("$(korvane_one 1000)")
done
e=$(printf '%s\n' "${empty[@]}" | median)
printf '%-28s median %6s ms (%s)\n' "empty Win32 window program:" "$e" "${empty[*]}"
for n in "${counts[@]}"; do
  declare -n times="k$n"
  k=$(printf '%s\n' "${times[@]}" | median)
  printf '%-28s median %6s ms, %s x the empty window (%s)\n' "Korvane, $n group files:" "$k" \
    "$(awk -v k="$k" -v e="$e" 'BEGIN { printf "%.2f", k / e }')" "${times[*]}"
  unset -n times
done
exit 0
