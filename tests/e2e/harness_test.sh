#!/usr/bin/env bash
# The harness on itself, with stand-ins whose behaviour is known: pointer
# clicks at client coordinates, keys and Japanese typing, pixel colours,
# the open-file dialog answered with a Japanese path, byte comparison of a
# code page 932 file, and the tray icon's tip and double click.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install
cp "$E2E_FIXTURES/fixture_input.exe" "$E2E_FIXTURES/fixture_shell.exe" "$E2E_DIR/"
log=$E2E_DIR/input.log

logged_now() {
  iconv -f CP932 -t UTF-8 "$log" 2>/dev/null | grep -qxF "$1"
}
# logged LINE: the stand-in records that line within 3 s.
logged() {
  e2e_until 3 logged_now "$1"
}

e2e_start "$E2E_DIR/fixture_input.exe"
win=$(e2e_probe wait-window KorvaneFixtureInput Input 10000) || e2e_abort "the input stand-in's window appears"
painted() { [ "$(e2e_client_pixel "$win" 5 5)" = 2060A0 ]; }
e2e_until 5 painted
check_eq "colour at client (5, 5)" 2060A0 "$(e2e_client_pixel "$win" 5 5)"
check_eq "colour at client (380, 260)" 2060A0 "$(e2e_client_pixel "$win" 380 260 "$(e2e_shot input-window)")"

e2e_click "$win" 10 20
check "left click at client (10, 20)" logged "down 10 20"
e2e_click "$win" 50 60 3
check "right click at client (50, 60)" logged "rdown 50 60"
e2e_double_click "$win" 30 40
check "double click at client (30, 40)" logged "dblclk 30 40"

# ASCII on the keyboard; Japanese as an input method hands it over (each
# waits for the one before: the characters handed over overtake queued keys).
e2e_type "$win" "a"
check "typed a" logged "char 61"
e2e_enter_text "$win" "ソ"
check "typed ソ: lead byte 83" logged "char 83"
check "typed ソ: trail byte 5C" logged "char 5C"
e2e_key "$win" ctrl+s
check "Ctrl+S as the character 13" logged "char 13"

# F2 opens the open-file dialog; the harness answers it with a file whose
# name and folder hold 0x5C trail bytes.
: >"$E2E_DIR/予定表.txt"
E2E_PROBE_OPTIONS=(--exe fixture_input.exe)
e2e_key "$win" F2
check "open-file dialog answered" e2e_openfile "$E2E_DIR/予定表.txt"
check "the chosen path reaches the program" logged "open $(e2e_winpath "$E2E_DIR/予定表.txt")"
e2e_key "$win" F2
check "open-file dialog cancelled" e2e_probe --exe fixture_input.exe openfile-cancel 10000
check "the cancel reaches the program" logged "open cancelled"
e2e_probe close "$win" >/dev/null
check "the input stand-in ends" e2e_wait_exit "$E2E_LAST_PID" 5

# Everything but the key codes (which depend on the X keyboard map), byte
# for byte in code page 932.
grep -a -v '^key ' "$log" >"$E2E_TMP/events"
e2e_check_file "the recorded events, byte for byte" "$E2E_TMP/events" --lf <<EOF
down 10 20
rdown 50 60
down 30 40
dblclk 30 40
char 61
char 83
char 5C
char 13
open $(e2e_winpath "$E2E_DIR/予定表.txt")
open cancelled
EOF

# Tray: the stand-in's icon, its tip, and a double click on it.
e2e_start "$E2E_DIR/fixture_shell.exe"
shell=$(e2e_probe wait-window TFrmFR0010MN Korvane 10000) || e2e_abort "the shell stand-in's window appears"
check_match "one tray icon with tip Korvane" '^[0-9]+ [0-9]+ [0-9]+ [0-9]+ Korvane$' "$(e2e_tray_icons)"
e2e_probe post "$shell" 0x112 0xF020 0 >/dev/null
check "minimised to the tray" e2e_probe wait-hidden "$shell" 3000
check "double click on the tray icon" e2e_tray_double_click Korvane
check "the window comes back" e2e_probe wait-visible "$shell" 3000
e2e_probe close "$shell" >/dev/null
check "the shell stand-in ends" e2e_wait_exit "$E2E_LAST_PID" 5
check_eq "its icon is gone" "" "$(e2e_tray_icons)"

e2e_finish
