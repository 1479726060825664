#!/usr/bin/env bash
# Start-up figures: milliseconds from the process's creation to its visible
# main window, median of RUNS starts (default 9) each, for the smallest Win32
# window program and for Korvane with 0, 20 and 1,000 group files beside it
# (each in a folder of its own), and each Korvane figure's ratio to the
# empty window's. Measured inside Wine by korvane_probe; the four programs
# take turns, so a noisy moment of the machine falls on all of them.
# Prints figures only. With OTHER-EXE (another build of Korvane.exe, say
# the one before a change) that exe takes its turns too, from folders with
# the same group files, and is shown beside this build's.
#   tests/e2e/startup_bench.sh [RUNS] [OTHER-EXE]
source "$(dirname "$0")/../../tests/e2e/lib.sh"
runs=${1:-9}
other=${2:-}
counts=(0 20 1000)
e2e_begin startup_bench
for n in "${counts[@]}"; do
  e2e_install "groups$n"
  e2e_many_groups "$n"
  if [ -n "$other" ]; then
    cp -r "$E2E_DIR" "$E2E_TMP/other$n"
    cp "$other" "$E2E_TMP/other$n/Korvane.exe"
  fi
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
other_one() { time_one "$E2E_TMP/other$1/Korvane.exe" TFrmFR0010MN Korvane; }


# One start of each first: the first start of a prefix loads more.
empty_one >/dev/null
for n in "${counts[@]}"; do korvane_one "$n" >/dev/null; done
empty=() k0=() k20=() k1000=() o0=() o20=() o1000=()
for ((i = 0; i < runs; i++)); do
  empty+=("$(empty_one)")
  for n in "${counts[@]}"; do
    declare -n mine="k$n" theirs="o$n"
    mine+=("$(korvane_one "$n")")
    [ -z "$other" ] || theirs+=("$(other_one "$n")")
    unset -n mine theirs
  done
done
e=$(printf '%s\n' "${empty[@]}" | median)
printf '%-28s median %6s ms (%s)\n' "empty Win32 window program:" "$e" "${empty[*]}"
for n in "${counts[@]}"; do
  for which in k o; do
    declare -n times="$which$n"
    if [ "${#times[@]}" -gt 0 ]; then
      label="Korvane, $n group files:"
      [ "$which" = k ] || label="  other exe, $n group files:"
      k=$(printf '%s\n' "${times[@]}" | median)
      printf '%-30s median %6s ms, %s x the empty window (%s)\n' "$label" "$k" \
        "$(awk -v k="$k" -v e="$e" 'BEGIN { printf "%.2f", k / e }')" "${times[*]}"
    fi
    unset -n times
  done
done
exit 0
