#!/usr/bin/env bash
# The settings file beside the exe: a first start covers the work area in
# registration mode and its end writes LEFT, TOP, WIDTH, HEIGHT, MODE in
# that order; a stored placement is applied as stored (partly off the
# screen too) and written back into the file with its other lines kept; one
# wholly outside the screen gives the work area; a maximised window writes
# a zero placement and the next start covers the work area.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

work=$(e2e_probe screen | sed -n 2p)
read -r wx wy ww wh <<<"$work"

# First start: no settings file.
e2e_launch
check_eq "first start: the window covers the work area" "$wx $wy $ww $wh" "$(e2e_probe rect "$E2E_MAIN")"
check_eq "first start: not maximised" "zoomed 0" "$(e2e_probe info "$E2E_MAIN" | grep '^zoomed')"
check_eq "first start: no settings file yet" no "$([ -e "$E2E_DIR/Korvane.INI" ] && echo yes || echo no)"
e2e_close
e2e_check_file "a fresh settings file: LEFT, TOP, WIDTH, HEIGHT, MODE" "$E2E_DIR/Korvane.INI" <<EOF
[Korvane]
LEFT=$wx
TOP=$wy
WIDTH=$ww
HEIGHT=$wh
MODE=0
EOF

# A file of the user's: other sections, a comment, the keys in another
# order, a negative width, a mode of 2, and a place mostly right of the
# screen. Written as the user wrote it, with LEFT given.
users_file() {
  e2e_write_cp932 "$E2E_DIR/Korvane.INI" <<EOF
; 設定ファイル
[他のソフト]
LEFT=1
[Korvane]
MODE=2
TOP=-30
WIDTH=-640
LEFT=$1
HEIGHT=400
色=青

[後]
X=Y
EOF
}
read -r sw _ <<<"$(e2e_probe screen | sed -n 1p)"
left=$((sw - 100))
users_file $left
e2e_launch
check_eq "stored placement applied as stored, partly off the screen" "$left -30 640 400" "$(e2e_probe rect "$E2E_MAIN")"
e2e_close
e2e_check_file "written back in place, other lines kept, mode 2 written as 1" "$E2E_DIR/Korvane.INI" <<EOF
; 設定ファイル
[他のソフト]
LEFT=1
[Korvane]
MODE=1
TOP=-30
WIDTH=640
LEFT=$left
HEIGHT=400
色=青

[後]
X=Y
EOF

# Wholly right of the screen (a settings file from a PC with two monitors).
users_file $((sw + 200))
e2e_launch
check_eq "a placement outside the screen gives the work area" "$wx $wy $ww $wh" "$(e2e_probe rect "$E2E_MAIN")"
e2e_close

# Maximised at the end: zeros, and the next start covers the work area.
e2e_launch
e2e_probe post "$E2E_MAIN" 0x112 0xF030 0 >/dev/null
e2e_until 3 maximised || fail "the window is maximised"
e2e_close
e2e_check_file "maximised: a zero placement" "$E2E_DIR/Korvane.INI" <<EOF
; 設定ファイル
[他のソフト]
LEFT=1
[Korvane]
MODE=1
TOP=0
WIDTH=0
LEFT=0
HEIGHT=0
色=青

[後]
X=Y
EOF
e2e_launch
check_eq "after a maximised end: the work area" "$wx $wy $ww $wh" "$(e2e_probe rect "$E2E_MAIN")"
check_eq "after a maximised end: not maximised" "zoomed 0" "$(e2e_probe info "$E2E_MAIN" | grep '^zoomed')"
e2e_close

e2e_finish
