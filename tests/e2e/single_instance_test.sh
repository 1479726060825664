#!/usr/bin/env bash
# Only one copy runs: a second start hands over to the running copy, which
# comes to the foreground (out of the tray when hidden there), and ends
# within seconds without a window or a second tray icon of its own.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install
e2e_write_cp932 "$E2E_DIR/Korvane.INI" <<'EOF'
[Korvane]
LEFT=50
TOP=40
WIDTH=700
HEIGHT=500
MODE=0
EOF

# The names and bytes of the folder's files: a second copy writes none.
folder_state() {
  (cd "$E2E_DIR" && find . -type f -print0 | sort -z | xargs -0 md5sum)
}

# second_start LABEL [ARGS...]: starts another copy (with the arguments,
# which change nothing) and gives it 5 s to end by itself. A main window of
# its own meanwhile means the rule is not built yet: reported as skipped.
second_start() {
  local copy deadline before
  before=$(folder_state)
  e2e_start "$E2E_DIR/Korvane.exe" "${@:2}"
  copy=$E2E_LAST_PID
  deadline=$(($(date +%s%3N) + 5000))
  while e2e_alive "$copy" && [ "$(date +%s%3N)" -lt "$deadline" ]; do
    if [ "$(e2e_probe count-windows TFrmFR0010MN Korvane)" -gt 1 ]; then
      e2e_skip "the program does not apply the single-instance rule yet: a second start opened a second main window"
    fi
    sleep 0.05
  done
  if e2e_wait_exit "$copy" 0; then
    pass "$1: the second copy ends by itself within 5 s"
    check_eq "$1: its exit code" 0 "$E2E_EXIT_CODE"
  else
    fail "$1: the second copy ends by itself within 5 s" "still running; killed"
  fi
  check_eq "$1: still one main window" 1 "$(e2e_probe count-windows TFrmFR0010MN Korvane)"
  check_eq "$1: no file written" "$before" "$(folder_state)"
}

tray_icons() {
  e2e_tray_icons | awk '{ $1 = $2 = $3 = $4 = ""; sub(/^ +/, ""); print }' | sort | tr '\n' ,
}

# A new start adds its tray icon after its window shows.
tray_is() { [ "$(tray_icons)" = "$1" ]; }

e2e_launch
first=$E2E_MAIN

# Shown, with another program in front of it.
e2e_start "$E2E_FIXTURES/fixture_window.exe"
other=$(e2e_probe wait-window KorvaneFixtureWindow Fixture 10000) || e2e_abort "another program's window appears"
check "another program is in front" e2e_probe wait-foreground "$other" 10000
second_start "shown"
e2e_until 10 tray_is "Korvane,"
check_eq "shown: one tray icon" "Korvane," "$(tray_icons)"
check "shown: the running copy comes to the foreground" e2e_probe wait-foreground "$first" 10000
check_eq "shown: the running copy stays visible" 1 "$(e2e_probe visible "$first")"
e2e_probe close "$other" >/dev/null

# Hidden in the tray: a minimise command hides it.
e2e_probe post "$first" 0x112 0xF020 0 >/dev/null
check "hidden: the main window is hidden" e2e_probe wait-hidden "$first" 10000
second_start "hidden" /起動 "業務 A" -x
check "hidden: the main window comes back" e2e_probe wait-visible "$first" 10000
check "hidden: in the foreground" e2e_probe wait-foreground "$first" 10000
check_eq "hidden: still one tray icon" "Korvane," "$(tray_icons)"
e2e_shot after-second-start >/dev/null

e2e_close
check_eq "no tray icon left after the end" "" "$(tray_icons)"

# Ended, the first copy leaves nothing behind: the next start is a first copy.
e2e_launch
pass "after the end: a new start shows its own window"
e2e_until 10 tray_is "Korvane,"
check_eq "after the end: one tray icon" "Korvane," "$(tray_icons)"
e2e_close
e2e_finish
