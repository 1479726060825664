#!/usr/bin/env bash
# Arranging entries with the real mouse: in registration mode entry 5 of a
# group is dragged by its title onto row 2 (the entries between shift down,
# an insertion mark shows where it goes), then entry 1 is dragged onto
# another group in the group list (it goes into that group's first empty
# row); Ctrl+S writes both files in the new order, and the status bar says
# so. Screenshots during the drag and after the save are kept with the
# artifacts.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

# full_group "title|path"...: the UTF-8 text of a whole group file, entries
# 1..N as given, the others empty (the order the program writes).
ONE='一番|C:\業務\一.txt' TWO='二番|C:\業務\二.txt' THREE='三番|' FOUR='四番|C:\業務\四.doc'
FIVE='五番|C:\業務\五.xls' SIX='六番|'
full_group "$ONE" "$TWO" "$THREE" "$FOUR" "$FIVE" "$SIX" | e2e_group 業務A
B1='売上|C:\売上.xls'
full_group "$B1" | e2e_group 業務BBBB
# Registration mode, the designed placement.
e2e_write_cp932 "$E2E_DIR/Korvane.INI" <<'EOF'
[Korvane]
LEFT=195
TOP=108
WIDTH=730
HEIGHT=479
MODE=0
EOF

LB_GETTEXTLEN=0x018A
LB_GETITEMHEIGHT=0x01A1

e2e_launch
children=$(e2e_probe children "$E2E_MAIN")
list=$(awk '/ ListBox / { print $1; exit }' <<<"$children")
grid=$(awk '/ ui.DrawGrid / { print $1; exit }' <<<"$children")
status=$(awk '/ ui.StatusBar / { print $1; exit }' <<<"$children")
[ -n "$list" ] && [ -n "$grid" ] || e2e_abort "the group list and the grid are found" "$children"
# The list's order is the folder's: the rows are told apart by their
# names' lengths in the list's UTF-16 units (業務A 3, answered as 4, the least a row answers; 業務BBBB 6).
row_a=0 row_b=1
[ "$(e2e_probe send "$list" $LB_GETTEXTLEN 0 0)" = 6 ] && { row_a=1 row_b=0; }
row_height=$(e2e_probe send "$list" $LB_GETITEMHEIGHT 0 0)
read -r gx gy _ <<<"$(e2e_probe client-origin "$grid")"
read -r lx ly _ <<<"$(e2e_probe client-origin "$list")"

e2e_focus "$E2E_MAIN"
e2e_click "$list" 60 $((row_a * row_height + row_height / 2))
e2e_until 3 focus_is "$grid" || fail "a click on 業務A shows it in the grid"

# The grid's rows are 40 pixels and a line; the title column starts after
# the 40-pixel button column and its line.
cell_y() { echo $((gy + $1 * 41 + 20)); }
title_x=$((gx + 41 + 60))

# drag X Y X2 Y2 SHOT: the library's drag, its screenshot in SHOT; then
# waits until the grid shows something else than it did while dragging
# (the drop handled).
drag() {
  local during
  e2e_drag "$@"
  SHOT=${E2E_DRAG_SHOT:-}
  during=$(e2e_picture "$grid" "$SHOT")
  e2e_until 5 e2e_picture_changed "$grid" "$during" || fail "the grid changes after the drop ($5)"
}

# Entry 5 onto row 2: while the button is held a mark lies on row 2's top
# edge (navy), none on row 3's.
mark_on_row_2() { [ "$(e2e_pixel "$(e2e_shot mark)" "$title_x" $((gy + 2 * 41 + 1)))" = 000080 ]; }
E2E_DRAG_READY=mark_on_row_2 drag "$title_x" "$(cell_y 5)" "$title_x" "$(cell_y 2)" drag_within
mark=$(e2e_pixel "$SHOT" "$title_x" $((gy + 2 * 41 + 1)))
check_eq "the insertion mark is on row 2's top edge while dragging" 000080 "$mark"
check_ne "no mark on row 3" 000080 "$(e2e_pixel "$SHOT" "$title_x" $((gy + 3 * 41 + 1)))"
# The status bar's simple text is no window text: its pixels are read.
# status_dark PNG: how many dark (text) pixels the status bar shows.
status_dark() {
  local x y w h
  read -r x y w h <<<"$(e2e_probe client-rect "$status")"
  convert "$1" -crop "$((w - 20))x${h}+${x}+${y}" -colorspace gray -threshold 40% -negate \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
check "the status bar is blank while nothing changed" test "$(status_dark "$SHOT")" -eq 0
status_shows_text() { MOVED=$(e2e_shot moved) && [ "$(status_dark "$MOVED")" -gt 20 ]; }
check "the status bar shows a text once the entry moved" e2e_until 5 status_shows_text

# Entry 1 onto 業務BBBB's row of the group list: into its first empty row.
drag "$title_x" "$(cell_y 1)" $((lx + 60)) $((ly + row_b * row_height + row_height / 2)) drag_to_group

e2e_real_key "$E2E_MAIN" ctrl+s || fail "Ctrl+S is typed"
full_group "|" "$FIVE" "$TWO" "$THREE" "$FOUR" "$SIX" | e2e_cp932 >"$E2E_TMP/A.PTH"
full_group "$B1" "$ONE" | e2e_cp932 >"$E2E_TMP/B.PTH"
saved() { cmp -s "$E2E_DIR/業務A.PTH" "$E2E_TMP/A.PTH" && cmp -s "$E2E_DIR/業務BBBB.PTH" "$E2E_TMP/B.PTH"; }
e2e_until 5 saved
e2e_check_bytes "業務A holds entry 5 on row 2 and row 1 empty" "$E2E_DIR/業務A.PTH" "$E2E_TMP/A.PTH"
e2e_check_bytes "業務BBBB holds entry 1 of 業務A in its first empty row" "$E2E_DIR/業務BBBB.PTH" "$E2E_TMP/B.PTH"
# 「保存しました」 is shorter than 「未保存の変更があります」 (the file is
# written before the status bar is).
moved_dark=$(status_dark "$MOVED")
status_saved() {
  local dark
  SAVED=$(e2e_shot saved) && dark=$(status_dark "$SAVED") && [ "$dark" -gt 20 ] && [ "$dark" -lt "$moved_dark" ]
}
check "the status bar's text changed at the save" e2e_until 5 status_saved

# The status bar's grip sizes the window, as the window's own corner does.
read -r _ _ w0 h0 <<<"$(e2e_probe rect "$E2E_MAIN")"
read -r x y w h <<<"$(e2e_probe client-rect "$status")"
drag $((x + w - 4)) $((y + h - 4)) $((x + w + 56)) $((y + h + 46))
grown() { read -r _ _ w1 h1 <<<"$(e2e_probe rect "$E2E_MAIN")"; [ "$w1" -eq $((w0 + 60)) ] && [ "$h1" -eq $((h0 + 50)) ]; }
check "the grip made the window 60 wider and 50 taller" e2e_until 3 grown

e2e_close
e2e_finish
