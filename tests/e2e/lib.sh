# Library of the end-to-end test scripts: sourced by tests/e2e/*_test.sh.
#
# A script copies the real Korvane.exe into a temporary folder, starts it
# under Wine, drives it from outside (korvane_probe for windows, keys,
# message boxes and the open-file dialog; xdotool for the pointer) and
# checks the files it writes and what it shows. One probe serves the whole
# script (a question costs a line, not the start of a Wine process), and
# one wineserver runs from e2e_begin to the end. Every step waits for
# something it can see (e2e_until, the probe's wait-* commands), never for
# a fixed time; a check that something does not happen first waits for a
# sign that the program did its part. Outline:
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_begin                     # temp folder, prefix, display, clean desktop
#   e2e_install                   # copies the program into $E2E_DIR
#   e2e_group 業務A <<'EOF'       # a group file, written in code page 932
#   [01]
#   TITLE=見積書
#   EOF
#   e2e_launch                    # starts it, waits for $E2E_MAIN
#   check_eq "title" Korvane "$(e2e_probe text "$E2E_MAIN")"
#   e2e_close                     # WM_CLOSE, the process must end with 0
#   e2e_finish                    # "N passed, N failed", exit code
#
# Functions, each documented where it is defined:
#   results    pass fail check check_eq check_ne check_match e2e_skip
#              e2e_abort e2e_finish
#   set-up     e2e_begin e2e_install e2e_virtual_desktop
#   files      e2e_cp932 e2e_write_cp932 e2e_group e2e_many_groups
#              e2e_hexdiff e2e_check_bytes e2e_check_file e2e_winpath
#   processes  e2e_probe e2e_probe_serve e2e_probe_end e2e_alive e2e_start
#              e2e_wait_main e2e_launch e2e_wait_exit e2e_close e2e_until
#              e2e_time_start
#   windows    e2e_child e2e_grid e2e_group_list focus_is maximised
#              e2e_choose_group
#   input      e2e_xid e2e_key e2e_type e2e_real_key e2e_real_type
#              e2e_enter_text e2e_focus
#              e2e_click_screen e2e_click e2e_double_click
#   showing    e2e_shot e2e_pixel e2e_client_pixel button_has e2e_msgbox
#              e2e_press e2e_openfile e2e_tray_icons e2e_tray_double_click
#   helpers    full_group median
# Functions that end the script (e2e_launch, e2e_abort, e2e_skip,
# e2e_finish) must not run inside $(...), and neither must the checks,
# whose counts would stay in the subshell.
#
# Every Wine process started here writes into files, never into the
# script's stdout or stderr: under CTest those are pipes, and Wine's helper
# processes (wineserver, explorer.exe) inherit them and would hold the test
# open until they exit.

set -u

KORVANE_ROOT=${KORVANE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
KORVANE_BUILD=${KORVANE_BUILD:-$KORVANE_ROOT/build/win32}
# shellcheck source=../../tools/wine-env.sh
source "$KORVANE_ROOT/tools/wine-env.sh"

E2E_PROBE=$KORVANE_BUILD/e2e/korvane_probe.exe
E2E_FIXTURES=$KORVANE_BUILD/e2e
# The program under test; a harness check may put a stand-in in its place.
E2E_EXE=${E2E_EXE:-$KORVANE_BUILD/dist/Korvane.exe}
E2E_MAIN_CLASS=TFrmFR0010MN
E2E_MAIN_TITLE=Korvane

E2E_PASSED=0
E2E_FAILED=0
E2E_SKIPPED=""
E2E_TMP=""
E2E_DIR=""
E2E_PID=""
E2E_MAIN=""
E2E_LAST_PID=""
E2E_LAST_LOG=""
E2E_EXIT_CODE=""
E2E_PIDS=()
E2E_STARTS=0
E2E_OWN_XVFB=""
E2E_VIRTUAL_DESKTOP=""
# The probe serving this script, per Wine prefix: its pid and the script's
# ends of its two pipes.
declare -A E2E_PROBE_PID=() E2E_PROBE_TO=() E2E_PROBE_FROM=()
E2E_PROBES=0
E2E_LAST_CLICK=0
# Options put before the probe's dialog commands (--exe NAME when the
# message box or dialog belongs to another exe than Korvane.exe).
E2E_PROBE_OPTIONS=()

# ---------------------------------------------------------------- results

pass() {
  E2E_PASSED=$((E2E_PASSED + 1))
  echo "PASS: $1"
}

# fail LABEL [DETAIL]: the first failure also saves a screenshot.
fail() {
  E2E_FAILED=$((E2E_FAILED + 1))
  echo "FAIL: $1${2:+ ($2)}"
  if [ "$E2E_FAILED" = 1 ] && [ -n "$E2E_TMP" ] && [ -n "${DISPLAY:-}" ]; then
    import -window root "$E2E_ARTIFACTS/first-failure.png" >/dev/null 2>&1 </dev/null &&
      echo "      screen at the first failure: $E2E_ARTIFACTS/first-failure.png"
  fi
}

# check LABEL COMMAND...: passes when the command succeeds.
check() {
  local label=$1
  shift
  if "$@"; then pass "$label"; else fail "$label" "command failed: $*"; fi
}

# check_eq LABEL EXPECTED ACTUAL
check_eq() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected '$2', got '$3'"; fi
}

# check_ne LABEL UNEXPECTED ACTUAL
check_ne() {
  if [ "$2" != "$3" ]; then pass "$1"; else fail "$1" "got '$3'"; fi
}

# check_match LABEL EXTENDED-REGEX ACTUAL
check_match() {
  if [[ $3 =~ $2 ]]; then pass "$1"; else fail "$1" "'$3' does not match /$2/"; fi
}

# e2e_skip REASON: the rest of the script does not apply yet; reported as
# skipped (CTest: exit code 77), never as passed.
e2e_skip() {
  echo "SKIP: $1"
  E2E_SKIPPED=$1
  e2e_finish
}

# e2e_abort REASON: a failure after which nothing else can be checked.
e2e_abort() {
  fail "$1" "${2:-}"
  e2e_finish
}

# Prints "N passed, N failed" and exits: 1 on any failure or when nothing
# was checked, 77 when skipped, else 0.
e2e_finish() {
  echo "$E2E_PASSED passed, $E2E_FAILED failed"
  if [ "$E2E_FAILED" -gt 0 ]; then exit 1; fi
  if [ -n "$E2E_SKIPPED" ]; then exit 77; fi
  if [ "$E2E_PASSED" = 0 ]; then
    echo "FAIL: the script checked nothing"
    exit 1
  fi
  exit 0
}

# ---------------------------------------------------------------- set-up

# e2e_begin [NAME]: a temporary folder ($E2E_TMP), the artifacts folder
# ($E2E_ARTIFACTS, kept after the run under the build tree), the Wine
# prefix, a display (a new Xvfb when $DISPLAY is unset) and a fresh
# wineserver, so no window, tray icon or process of an earlier run is left,
# with the probe serving the script. With E2E_DESKTOP=WIDTHxHEIGHT set
# before, the windows go into a virtual desktop (see e2e_virtual_desktop).
# Takes over the prefix: whatever else runs in it is ended.
e2e_begin() {
  E2E_NAME=${1:-${E2E_RUN_NAME:-$(basename "$0" .sh)}}
  E2E_NAME=${E2E_NAME%_test}
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/korvane-e2e-$E2E_NAME.XXXXXX") || exit 1
  E2E_ARTIFACTS=$KORVANE_BUILD/e2e-artifacts/$E2E_NAME
  rm -rf "$E2E_ARTIFACTS"
  mkdir -p "$E2E_ARTIFACTS"
  trap e2e__cleanup EXIT
  trap 'exit 130' INT TERM HUP
  echo "e2e $E2E_NAME: temporary folder $E2E_TMP"
  [ -f "$E2E_PROBE" ] || e2e_abort "the probe is built" "$E2E_PROBE is missing"
  [ -f "$E2E_EXE" ] || e2e_abort "the program is built" "$E2E_EXE is missing"
  korvane_ensure_prefix >"$E2E_TMP/prefix.log" 2>&1 </dev/null ||
    e2e_abort "the Wine prefix is ready" "$(cat "$E2E_TMP/prefix.log")"
  # A run killed inside e2e_virtual_desktop leaves the prefix in that mode.
  if grep -q '^"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 </dev/null
  fi
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1 </dev/null; then
    korvane_start_xvfb >"$E2E_TMP/xvfb.log" 2>&1 </dev/null || e2e_abort "an Xvfb display starts"
    E2E_OWN_XVFB=$KORVANE_XVFB_PID
  fi
  E2E_VIRTUAL_DESKTOP=${E2E_DESKTOP:-}
  e2e__fresh_wineserver
}

# Ends the prefix's wineserver and everything it runs (a probe serving the
# script with it), then starts it again with the desktop (a virtual one
# when $E2E_VIRTUAL_DESKTOP gives its size) and the probe; their output goes
# to a log of their own.
e2e__fresh_wineserver() {
  e2e_probe_end
  # (Quick where none runs.)
  wineserver -k >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
  if [ -n "$E2E_VIRTUAL_DESKTOP" ]; then
    # Read when the desktop is made, by the first process that shows a
    # window (the probe); the same wineserver then serves the script.
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$E2E_VIRTUAL_DESKTOP" /f >>"$E2E_TMP/wineserver.log" 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$E2E_TMP/wineserver.log" 2>&1 </dev/null
  fi
  e2e_probe_serve || e2e_abort "the probe serves the script"
}


e2e__cleanup() {
  local rc=$?
  local pid
  e2e_probe_end_all
  if [ -n "$E2E_VIRTUAL_DESKTOP" ]; then
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 </dev/null
  fi
  for pid in "${E2E_PIDS[@]}"; do
    if e2e_alive "$pid"; then
      echo "note: process $pid still ran at the end and was killed"
      kill -9 "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
  done
  wineserver -k >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
  if [ -n "$E2E_OWN_XVFB" ]; then
    kill "$E2E_OWN_XVFB" 2>/dev/null
    wait "$E2E_OWN_XVFB" 2>/dev/null
  fi
  if [ -n "$E2E_TMP" ]; then
    if [ "$rc" = 1 ] || [ -n "${E2E_KEEP:-}" ]; then
      echo "kept for inspection: $E2E_TMP"
    else
      rm -rf "$E2E_TMP"
    fi
  fi
  exit "$rc"
}

# e2e_virtual_desktop WIDTHxHEIGHT: every window of this run goes into a Wine
# virtual desktop with a taskbar (tray icons at its bottom right). Call it
# before e2e_start; it starts the wineserver anew, which E2E_DESKTOP set
# before e2e_begin spares. Undone at the end of the script.
e2e_virtual_desktop() {
  E2E_VIRTUAL_DESKTOP=$1
  e2e__fresh_wineserver
}

# e2e_install [FOLDER-NAME]: copies what the build ships (build/win32/dist)
# into $E2E_TMP/FOLDER-NAME and sets $E2E_DIR. The default name, "ソフト表",
# is code page 932 bytes with 0x5C trail bytes in the middle (ソ) and at the
# end (表); Linux keeps it as UTF-8 and Wine shows it to the program in
# code page 932.
e2e_install() {
  E2E_DIR=$E2E_TMP/${1:-ソフト表}
  mkdir -p "$E2E_DIR"
  cp -r "$(dirname "$E2E_EXE")/." "$E2E_DIR/"
  [ "$(basename "$E2E_EXE")" = Korvane.exe ] || cp "$E2E_EXE" "$E2E_DIR/Korvane.exe"
}

# ---------------------------------------------------------------- files

# e2e_cp932 [--lf]: UTF-8 on stdin to code page 932 on stdout, line ends
# turned into CR LF unless --lf.
e2e_cp932() {
  if [ "${1:-}" = --lf ]; then
    iconv -f UTF-8 -t CP932
  else
    iconv -f UTF-8 -t CP932 | sed 's/$/\r/'
  fi
}

# e2e_write_cp932 PATH [--lf] < UTF-8 text
e2e_write_cp932() {
  local path=$1
  shift
  e2e_cp932 "$@" >"$path"
}

# e2e_group NAME < UTF-8 INI text: the group file "$E2E_DIR/NAME.PTH".
e2e_group() {
  e2e_write_cp932 "$E2E_DIR/$1.PTH"
}

# e2e_many_groups COUNT: COUNT group files 業務0001.PTH, 業務0002.PTH...
# in $E2E_DIR, each with twenty entries.
e2e_many_groups() {
  local template=$E2E_TMP/group-template.PTH names=() name i
  for i in $(seq -w 1 20); do
    printf '[%s]\nTITLE=書類%s\nPATH=C:\\業務\\書類%s.txt\n' "$i" "$i" "$i"
  done | e2e_cp932 >"$template"
  for ((i = 1; i <= $1; i++)); do
    printf -v name '業務%04d.PTH' "$i"
    names+=("$E2E_DIR/$name")
  done
  if [ "$1" -gt 0 ]; then tee "${names[@]}" <"$template" >/dev/null; fi
}

# full_group 'TITLE|PATH'...: the INI text of a whole group (UTF-8, for
# e2e_group or e2e_cp932): entries 1..N as given, the rest of the twenty
# empty.
full_group() {
  local i entry
  for i in $(seq 1 20); do
    entry="|"
    [ "$i" -gt $# ] || entry=${!i}
    printf '[%02d]\nTITLE=%s\nPATH=%s\n' "$i" "${entry%%|*}" "${entry#*|}"
  done
}

# median < numbers, one a line
median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# e2e_hexdiff A B: the bytes of two files side by side, where they differ.
e2e_hexdiff() {
  diff <(od -A x -v -t x1z -w16 "$1" 2>&1) <(od -A x -v -t x1z -w16 "$2" 2>&1) | head -40
}

# e2e_check_bytes LABEL ACTUAL EXPECTED: byte for byte.
e2e_check_bytes() {
  if [ ! -f "$2" ]; then
    fail "$1" "$2 does not exist"
  elif cmp -s "$2" "$3"; then
    pass "$1"
  else
    fail "$1" "bytes differ (< written, > expected)"
    e2e_hexdiff "$2" "$3"
  fi
}

# e2e_check_file LABEL PATH [--lf] < expected UTF-8 text: the file holds
# exactly that text in code page 932 with CR LF line ends.
e2e_check_file() {
  local label=$1 path=$2 expected
  shift 2
  expected=$(mktemp "$E2E_TMP/expected.XXXXXX")
  e2e_cp932 "$@" >"$expected"
  e2e_check_bytes "$label" "$path" "$expected"
}

# e2e_winpath UNIX-PATH: the path as the program sees it (drive Z: is /).
e2e_winpath() {
  local p
  p=$(realpath -m "$1")
  echo "Z:${p//\//\\}"
}

# ---------------------------------------------------------------- processes

# e2e_probe ARGS...: a korvane_probe command (see `korvane_probe help`);
# prints its output, and its exit code is the probe's. Errors go to stderr.
# Answered by the probe serving the script in this prefix, else by a probe
# started for the one command.
e2e_probe() {
  local key=$WINEPREFIX
  local to=${E2E_PROBE_TO[$key]:-} from=${E2E_PROBE_FROM[$key]:-}
  if [ -z "$to" ] || ! e2e_alive "${E2E_PROBE_PID[$key]}"; then
    e2e__probe_once "$@"
    return
  fi
  local line rc="" said=() complaints=()
  (
    IFS=$'\x1f'
    printf '%s\n' "$*" >&"$to"
  ) || return 1
  # Each command ends by its own timeout: this one only guards against a
  # probe that died without a word. The whole answer is read before any of
  # it is printed: a reader that stops early (grep -q) must not leave the
  # rest of it to the next question.
  while IFS= read -r -t 300 -u "$from" line; do
    case $line in
      "o "*) said+=("${line:2}") ;;
      "e "*) complaints+=("${line:2}") ;;
      "= "*)
        rc=${line:2}
        break
        ;;
    esac
  done
  if [ -z "$rc" ]; then
    echo "  probe: no answer to: $*" >&2
    kill -9 "${E2E_PROBE_PID[$key]}" 2>/dev/null
    return 1
  fi
  if [ "$rc" != 0 ]; then
    for line in "${complaints[@]}"; do echo "  probe: $line" >&2; done
  fi
  [ ${#said[@]} = 0 ] || printf '%s\n' "${said[@]}"
  return "$rc"
}

e2e__probe_once() {
  local out err rc
  out=$(mktemp "$E2E_TMP/probe.XXXXXX") && err=$out.err || return 1
  wine "$E2E_PROBE" "$@" >"$out" 2>"$err" </dev/null
  rc=$?
  cat "$out"
  if [ "$rc" != 0 ] && [ -s "$err" ]; then sed 's/^/  probe: /' "$err" >&2; fi
  rm -f "$out" "$err"
  return "$rc"
}

# e2e_probe_serve: starts a probe that answers e2e_probe in this prefix
# ($WINEPREFIX) until e2e_probe_end, and waits for its first answer (it
# starts the prefix's wineserver and desktop when none runs). e2e_begin
# calls it; a script calls it again for a second prefix. Not in $(...).
e2e_probe_serve() {
  local key=$WINEPREFIX n to from
  [ -z "${E2E_PROBE_PID[$key]:-}" ] || return 0
  n=$((E2E_PROBES += 1))
  mkfifo "$E2E_TMP/probe.$n.in" "$E2E_TMP/probe.$n.out" || return 1
  # Read-write opens: neither waits for the other end.
  exec {to}<>"$E2E_TMP/probe.$n.in" {from}<>"$E2E_TMP/probe.$n.out"
  (
    # Only the script writes the questions: the probe ends when it stops.
    eval "exec $to>&- $from>&-"
    exec wine "$E2E_PROBE" serve <"$E2E_TMP/probe.$n.in" >"$E2E_TMP/probe.$n.out" 2>>"$E2E_TMP/probe.$n.log"
  ) &
  E2E_PROBE_PID[$key]=$!
  E2E_PROBE_TO[$key]=$to
  E2E_PROBE_FROM[$key]=$from
  e2e_probe foreground >/dev/null
}

# e2e_probe_end: the probe of this prefix stops serving (at the end of its
# questions) and ends.
e2e_probe_end() {
  local key=$WINEPREFIX pid
  pid=${E2E_PROBE_PID[$key]:-}
  [ -n "$pid" ] || return 0
  eval "exec ${E2E_PROBE_TO[$key]}>&- ${E2E_PROBE_FROM[$key]}>&-"
  unset "E2E_PROBE_PID[$key]" "E2E_PROBE_TO[$key]" "E2E_PROBE_FROM[$key]"
  e2e_until 10 eval "! e2e_alive $pid" || kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

e2e_probe_end_all() {
  local key
  for key in "${!E2E_PROBE_PID[@]}"; do WINEPREFIX=$key e2e_probe_end; done
}

# e2e_alive PID: the process runs (an ended, unreaped child counts as gone).
e2e_alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat%% *}" != Z ]
}

# e2e_start [EXE [ARGS...]]: starts the installed program (or another exe)
# under Wine with $E2E_DIR as working folder; its output goes to the log
# $E2E_TMP/program.N.log ($E2E_LAST_LOG). Sets $E2E_LAST_PID, and $E2E_PID
# for the first copy.
e2e_start() {
  local exe=${1:-$E2E_DIR/Korvane.exe}
  [ $# = 0 ] || shift
  E2E_STARTS=$((E2E_STARTS + 1))
  E2E_LAST_LOG=$E2E_TMP/program.$E2E_STARTS.log
  (cd "$E2E_DIR" && exec wine "$exe" "$@") >"$E2E_LAST_LOG" 2>&1 </dev/null &
  E2E_LAST_PID=$!
  E2E_PIDS+=("$E2E_LAST_PID")
  [ -n "$E2E_PID" ] || E2E_PID=$E2E_LAST_PID
}

# e2e_wait_main [TIMEOUT-MS]: waits for the visible main window; sets $E2E_MAIN.
e2e_wait_main() {
  E2E_MAIN=$(e2e_probe wait-window "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "${1:-15000}")
}

# e2e_launch: e2e_start and e2e_wait_main; no main window ends the script.
e2e_launch() {
  e2e_start
  e2e_wait_main || e2e_abort "the main window appears" "no visible $E2E_MAIN_CLASS \"$E2E_MAIN_TITLE\""
}

# e2e_wait_exit PID [TIMEOUT-S]: waits for the process to end and sets
# $E2E_EXIT_CODE. On timeout kills it, sets "timeout" and answers 1.
e2e_wait_exit() {
  local pid=$1 timeout=${2:-10}
  e2e_until "$timeout" eval "! e2e_alive $pid"
  if e2e_alive "$pid"; then
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    E2E_EXIT_CODE=timeout
    return 1
  fi
  wait "$pid" 2>/dev/null
  E2E_EXIT_CODE=$?
}

# e2e_close [TIMEOUT-S]: WM_CLOSE to the main window, then the process must
# end within the timeout (default 10 s) with exit code 0; checked.
e2e_close() {
  local timeout=${1:-10}
  e2e_probe close "$E2E_MAIN" >/dev/null || fail "WM_CLOSE reaches the main window"
  if e2e_wait_exit "$E2E_PID" "$timeout"; then
    pass "the program ends after WM_CLOSE"
    check_eq "its exit code" 0 "$E2E_EXIT_CODE"
  else
    fail "the program ends after WM_CLOSE" "still running after $timeout s; killed"
  fi
  E2E_PID=""
  E2E_MAIN=""
}

# e2e_until TIMEOUT-S COMMAND...: retries the command until it succeeds or
# TIMEOUT-S seconds (a decimal number) have passed on the clock, then
# answers the command's last answer. The retries are 50 ms apart.
e2e_until() {
  local timeout=$1 whole fraction end
  shift
  whole=${timeout%.*} fraction=${timeout#"$whole"}
  fraction=${fraction#.}000000
  end=$(( $(e2e__now_us) + 10#${whole:-0} * 1000000 + 10#${fraction:0:6} ))
  while :; do
    "$@" && return 0
    [ "$(e2e__now_us)" -lt "$end" ] || break
    sleep 0.05
  done
  "$@"
}

# Microseconds on the wall clock.
e2e__now_us() {
  echo "${EPOCHREALTIME/[.,]/}"
}

# e2e_time_start EXE CLASS TITLE: milliseconds from the process's creation
# to its first visible window of that class and title, measured inside Wine
# by the probe; the program keeps running (the window is the second word).
e2e_time_start() {
  e2e_probe time-start "$(e2e_winpath "$1")" "$2" "$3" 15000
}

# ---------------------------------------------------------------- windows

# e2e_child HWND CLASS: the first child window of that class.
e2e_child() {
  local found
  found=$(e2e_probe children "$1" | awk -v c=" $2 " 'index($0, c) { print $1; exit }')
  [ -n "$found" ] && echo "$found"
}

# e2e_grid [MAIN], e2e_group_list [MAIN]: the main window's grid and list.
e2e_grid() { e2e_child "${1:-$E2E_MAIN}" ui.DrawGrid; }
e2e_group_list() { e2e_child "${1:-$E2E_MAIN}" ListBox; }

# text_is HWND TEXT: the window's text (WM_GETTEXT) is TEXT.
text_is() { [ "$(e2e_probe text "$1")" = "$2" ]; }

# focus_is HWND: the window has the keyboard focus of the foreground thread.
focus_is() { [ "$(e2e_probe focus)" = "$1" ]; }

# maximised: the main window is maximised.
maximised() { e2e_probe info "$E2E_MAIN" | grep -q '^zoomed 1$'; }

# e2e_choose_group [ROW] [MAIN]: clicks the group on that row of the list
# (1 unless given; rows 41 pixels apart under the 57-pixel toolbar) and
# waits until its grid has the keyboard focus, as a click on a group gives
# it. Sets $GRID.
e2e_choose_group() {
  local main=${2:-$E2E_MAIN}
  GRID=$(e2e_grid "$main") || return 1
  e2e_click "$main" 130 $((77 + 41 * (${1:-1} - 1))) || return 1
  e2e_until 5 focus_is "$GRID"
}

# ---------------------------------------------------------------- input

# e2e_xid HWND: the X window of a top-level window, for xdotool.
e2e_xid() {
  e2e_probe xid "$1"
}

# Runs xdotool on a window. A key that closes the window (Enter in a
# message box) leaves the key release with no window to go to: that
# BadWindow error is not a failure.
e2e__xdotool() {
  local err=$E2E_TMP/xdotool.err
  xdotool "$@" 2>"$err" </dev/null && return 0
  grep -q BadWindow "$err" && return 0
  cat "$err" >&2
  return 1
}

# e2e_key HWND KEY...: the keys as the keyboard types them, into HWND's
# window made the foreground window: key names as xdotool's (ctrl+s,
# alt+F4, Return, F2, Down, shift+Tab, a). They go into Wine's input queue
# by the probe, not through the X server (whose key maps and focus changes
# lose the odd key under load), and the program's message loop sees them
# as real keys (accelerators, hot keys, dialog keys). They are queued, not
# yet handled, when it returns, and a probe command that sends or posts a
# message to the program may overtake them: wait for what they do first.
e2e_key() {
  local hwnd=$1
  shift
  e2e_probe input "$hwnd" "$@" >/dev/null
}

# e2e_type HWND TEXT: types the text the same way (characters no key types
# arrive as an input method hands them over).
e2e_type() {
  e2e_probe input "$1" "text:$2" >/dev/null
}

# The names the scripts knew the keyboard's way by: the same now.
e2e_real_key() { e2e_key "$@"; }
e2e_real_type() { e2e_type "$@"; }

# e2e_enter_text HWND TEXT: TEXT into the focus of HWND's thread. ASCII is
# typed on the keyboard (e2e_type); other text is handed over as an input
# method hands it over, as characters (WM_CHAR), each handled before the
# next goes.
e2e_enter_text() {
  if LC_ALL=C grep -q '[^ -~]' <<<"$2"; then
    e2e_probe keys "$1" 1 "text:$2" >/dev/null
  else
    e2e_type "$1" "$2"
  fi
}

# e2e_focus HWND: makes the window the foreground window (its last focused
# control takes the keyboard focus).
e2e_focus() {
  e2e_probe input "$1" >/dev/null
}

# Separate clicks closer than the double-click time would merge.
e2e__click_gap() {
  local now
  now=$(date +%s%3N)
  if [ $((now - E2E_LAST_CLICK)) -lt 600 ]; then sleep 0.6; fi
}

# e2e_click_screen X Y [BUTTON] [COUNT]: a real pointer click (button 1 left,
# 2 middle, 3 right; COUNT 2 a double click) at screen coordinates.
e2e_click_screen() {
  local x=$1 y=$2 button=${3:-1} count=${4:-1}
  e2e__click_gap
  xdotool mousemove "$x" "$y" click --repeat "$count" --delay 80 "$button"
  E2E_LAST_CLICK=$(date +%s%3N)
}

# e2e_click HWND X Y [BUTTON] [COUNT]: the same at client coordinates of a window.
e2e_click() {
  local origin
  origin=$(e2e_probe client-origin "$1") || return 1
  e2e_click_screen $((${origin% *} + $2)) $((${origin#* } + $3)) "${4:-1}" "${5:-1}"
}

# e2e_double_click HWND X Y
e2e_double_click() {
  e2e_click "$1" "$2" "$3" 1 2
}

# ---------------------------------------------------------------- what it shows

# e2e_shot NAME: a screenshot of the whole screen; prints its path.
e2e_shot() {
  local path=$E2E_ARTIFACTS/$1.png
  import -window root "$path" >/dev/null 2>&1 </dev/null || return 1
  echo "$path"
}

# e2e_pixel PNG X Y: the colour of one pixel as RRGGBB.
e2e_pixel() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6
}

# e2e_client_pixel HWND X Y [PNG]: the colour at client coordinates of a
# window, from the given screenshot or a new one.
e2e_client_pixel() {
  local origin png=${4:-}
  origin=$(e2e_probe client-origin "$1") || return 1
  if [ -z "$png" ]; then
    png=$E2E_TMP/pixel.png
    import -window root "$png" >/dev/null 2>&1 </dev/null || return 1
  fi
  e2e_pixel "$png" $((${origin% *} + $2)) $((${origin#* } + $3))
}

# e2e_picture HWND: a checksum of what the window's client area shows now,
# to wait for the change a key makes where no file or text tells it:
#   before=$(e2e_picture "$GRID"); e2e_key "$E2E_MAIN" Delete
#   e2e_until 5 e2e_picture_changed "$GRID" "$before"
# With a screenshot as second argument, what the window showed in it.
e2e_picture() {
  local x y w h png=${2:-$E2E_TMP/picture.png}
  read -r x y w h <<<"$(e2e_probe client-rect "$1")" || return 1
  [ -n "${2:-}" ] || import -window root "$png" >/dev/null 2>&1 </dev/null || return 1
  convert "$png" -crop "${w}x${h}+${x}+${y}" -format '%#' info: 2>/dev/null
}

# e2e_picture_changed HWND CHECKSUM
e2e_picture_changed() {
  local now
  now=$(e2e_picture "$1") && [ "$now" != "$2" ]
}

# button_has COLOUR N: the speed button of entry N in the grid ($GRID)
# shows that colour (#RRGGBB) somewhere.
button_has() {
  local gx gy rest shot
  read -r gx gy rest <<<"$(e2e_probe client-rect "$GRID")"
  shot=$(e2e_shot "button-$2") || return 1
  convert "$shot" -crop "40x40+$gx+$((gy + 41 * $2))" -format %c histogram:info:- 2>/dev/null | grep -q "$1"
}

# e2e_msgbox [TIMEOUT-MS]: waits for a message box of the program and sets
# $MSGBOX_HWND, $MSGBOX_CAPTION, $MSGBOX_TEXT (lines joined by newlines, the
# box's CR LF as newline), $MSGBOX_BUTTONS ("6 7") and $MSGBOX_DEFAULT.
e2e_msgbox() {
  local out line
  MSGBOX_HWND="" MSGBOX_CAPTION="" MSGBOX_TEXT="" MSGBOX_BUTTONS="" MSGBOX_DEFAULT=""
  out=$(e2e_probe "${E2E_PROBE_OPTIONS[@]}" msgbox "${1:-10000}") || return 1
  local first=1
  while IFS= read -r line; do
    case $line in
      "hwnd "*) MSGBOX_HWND=${line#hwnd } ;;
      "caption "*) MSGBOX_CAPTION=${line#caption } ;;
      "text "* | text)
        if [ $first = 1 ]; then MSGBOX_TEXT=${line#text }; first=0; else MSGBOX_TEXT+=$'\n'${line#text }; fi
        ;;
      "buttons "*) MSGBOX_BUTTONS=${line#buttons } ;;
      "default "*) MSGBOX_DEFAULT=${line#default } ;;
    esac
  done <<<"$out"
}

# e2e_press BUTTON-ID: clicks a button of the program's message box (IDOK 1,
# IDCANCEL 2, IDYES 6, IDNO 7) and waits for the box to close.
e2e_press() {
  e2e_probe "${E2E_PROBE_OPTIONS[@]}" press "$1" >/dev/null
}

# e2e_openfile UNIX-PATH [TIMEOUT-MS]: answers the program's open-file
# dialog with that file.
e2e_openfile() {
  e2e_probe "${E2E_PROBE_OPTIONS[@]}" openfile "$(e2e_winpath "$1")" "${2:-10000}" >/dev/null
}

# e2e_tray_icons: one line per tray icon: x y width height tip.
e2e_tray_icons() {
  e2e_probe tray-icons
}

# e2e_tray_double_click [TIP]: double-clicks the first tray icon with that
# tip (default "Korvane").
e2e_tray_double_click() {
  local tip=${1:-Korvane} x y w h rest
  while read -r x y w h rest; do
    if [ "$rest" = "$tip" ]; then
      e2e_click_screen $((x + w / 2)) $((y + h / 2)) 1 2
      return 0
    fi
  done <<<"$(e2e_tray_icons)"
  return 1
}

# e2e_need_fuse: skips the script (exit 77) where the slow share cannot run.
e2e_need_fuse() {
  [ -e /dev/fuse ] || { echo "SKIP: /dev/fuse is missing: no FUSE here for the slow share"; exit 77; }
  /usr/bin/python3 -c 'import fusepy' 2>/dev/null ||
    { echo "SKIP: python3-fusepy is not installed (scripts/deps.sh installs it)"; exit 77; }
  command -v fusermount >/dev/null || { echo "SKIP: fusermount is missing (fuse3)"; exit 77; }
}

# e2e_slow_share DELAY: mounts $SHARE/mnt, a FUSE file system over
# $SHARE/src that answers each lookup after DELAY seconds and notes each
# answer in $LOG; unmounted when the script ends (skipped, exit 77, where
# it cannot be mounted). The share lies outside the temporary folder, so
# nothing walks into it while it is mounted. After e2e_begin.
e2e_slow_share() {
  SHARE=$(mktemp -d /tmp/korvane-share.XXXXXX)
  mkdir -p "$SHARE/src" "$SHARE/mnt"
  LOG=$SHARE/answers.log
  : >"$LOG"
  trap 'rc=$?; e2e__unmount_share; (exit $rc); e2e__cleanup' EXIT
  /usr/bin/python3 "$KORVANE_ROOT/tests/e2e/fixtures/slow_share.py" "$SHARE/src" "$SHARE/mnt" "$1" "$LOG" \
    >"$E2E_TMP/share.out" 2>&1 </dev/null &
  SHARE_PID=$!
  e2e_until 5 mountpoint -q "$SHARE/mnt" >/dev/null || {
    echo "SKIP: the FUSE file system cannot be mounted here: $(cat "$E2E_TMP/share.out")"
    exit 77
  }
}
e2e__unmount_share() {
  # Wine's server may still hold the share's folder open.
  wineserver -k >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
  fusermount -u "$SHARE/mnt" 2>/dev/null || fusermount -uz "$SHARE/mnt" 2>/dev/null
  if [ -n "${SHARE_PID:-}" ]; then
    kill "$SHARE_PID" 2>/dev/null
    wait "$SHARE_PID" 2>/dev/null
  fi
  rm -rf "$SHARE"
}

# e2e_drag X Y X2 Y2 [SHOT]: presses the left button at the first screen
# point, moves to the second in eight steps (past any drag threshold, with
# time for a drop target to follow), takes a screenshot there into
# E2E_DRAG_SHOT when SHOT names one, and releases. With $E2E_DRAG_READY set
# to a command, it first waits (up to 10 s) until that command succeeds at
# the second point: the drop target shows it follows.
e2e_drag() {
  local x=$1 y=$2 x2=$3 y2=$4 shot=${5:-} i
  e2e__click_gap
  xdotool mousemove "$x" "$y" && sleep 0.3
  xdotool mousedown 1 && sleep 0.3
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x + (x2 - x) * i / 8)) $((y + (y2 - y) * i / 8))
    sleep 0.15
  done
  sleep 0.3
  [ -z "${E2E_DRAG_READY:-}" ] || e2e_until 10 eval "$E2E_DRAG_READY" || echo "note: the drop target did not show it follows" >&2
  [ -z "$shot" ] || E2E_DRAG_SHOT=$(e2e_shot "$shot")
  xdotool mouseup 1
  E2E_LAST_CLICK=$(date +%s%3N)
}
