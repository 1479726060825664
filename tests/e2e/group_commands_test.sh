#!/usr/bin/env bash
# The group menu and the Help menu's version dialog with the real program:
# a right-button press on the group list opens the group menu, chosen with
# the keyboard; a name typed into the new-group dialog becomes a group whose
# file the Save command (Ctrl+S) writes with twenty empty sections; the rename
# dialog opens over the main window and Cancel leaves everything; deleting
# the group asks first and the next save removes its file. Screenshots of the
# three dialogs over the main window are kept with the artifacts.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

e2e_group 見積 <<'EOF'
[01]
TITLE=見積書
PATH=C:\業務\見積書.xls
EOF
# Launcher mode, the designed placement.
e2e_write_cp932 "$E2E_DIR/Korvane.INI" <<'EOF'
[Korvane]
LEFT=195
TOP=108
WIDTH=730
HEIGHT=479
MODE=1
EOF

NEW_NAME="総務　備品"   # the full-width space is an ordinary character
LB_GETCOUNT=0x018B
LB_GETCURSEL=0x0188
LB_GETTEXTLEN=0x018A
LB_GETITEMHEIGHT=0x01A1

e2e_launch
list=$(e2e_probe children "$E2E_MAIN" | awk '/ ListBox / { print $1; exit }')
[ -n "$list" ] || e2e_abort "the group list is found" "$(e2e_probe children "$E2E_MAIN")"
# Client coordinates of the list inside the main window, its row height.
read -r mx my _ <<<"$(e2e_probe client-rect "$E2E_MAIN")"
read -r lx ly _ lh <<<"$(e2e_probe client-rect "$list")"
lx=$((lx - mx)) ly=$((ly - my))
row_height=$(e2e_probe send "$list" $LB_GETITEMHEIGHT 0 0)

# Keys from the real keyboard (see e2e_real_key in lib.sh).
real_key() { e2e_real_key "$@"; }

# main_foreground: the main window has the input focus again.
main_foreground() {
  e2e_focus "$E2E_MAIN" >/dev/null 2>&1
  e2e_probe wait-foreground "$E2E_MAIN" 3000 >/dev/null
}

# open_group_menu: a right-button press below the last row; waits for the menu.
open_group_menu() {
  main_foreground
  e2e_click "$E2E_MAIN" $((lx + 60)) $((ly + lh - 20)) 3
  e2e_probe wait-window "#32768" - 5000 >/dev/null
}

# choose_item N: the N-th item of the open group menu, with the keys.
choose_item() {
  local i
  local keys=()
  for ((i = 0; i < $1; i++)); do keys+=(Down); done
  real_key "$E2E_MAIN" "${keys[@]}" Return
}

# dialog_button DIALOG TEXT: the dialog's button with that caption.
dialog_button() {
  e2e_probe children "$1" | awk -v t="\"$2\"" '$NF == t && /Button/ { print $1; exit }'
}

# ---------------------------------------------------------------- new group
open_group_menu || e2e_abort "the group menu opens on a right-button press"
check "first item chosen with the keys" choose_item 1
if dialog=$(e2e_probe wait-window TFrmFR0030NG 業務名の新規追加 5000); then
  pass "the new-group dialog opens"
  check_eq "it is owned by the main window" "$E2E_MAIN" \
    "$(e2e_probe info "$dialog" | sed -n 's/^owner //p' | awk '{print $1}')"
  read -r wx wy ww wh <<<"$(e2e_probe rect "$E2E_MAIN")"
  read -r dx dy dw dh <<<"$(e2e_probe rect "$dialog")"
  check_eq "centred over the main window" "$((wx + (ww - dw) / 2)) $((wy + (wh - dh) / 2))" "$dx $dy"
  e2e_probe wait-foreground "$dialog" 3000 >/dev/null
  check "the name is typed" e2e_enter_text "$dialog" "$NEW_NAME"
  edit=$(e2e_probe children "$dialog" | awk '/Edit/ { print $1; exit }')
  e2e_until 5 text_is "$edit" "$NEW_NAME"
  e2e_shot new-group-dialog >/dev/null
  check_eq "the name box holds the typed name" "$NEW_NAME" "$(e2e_probe text "$edit")"
  check "Enter presses OK" real_key "$dialog" Return
  check "the dialog goes" e2e_probe wait-gone "$dialog" 5000
else
  fail "the new-group dialog opens"
fi
check_eq "two groups in the list" 2 "$(e2e_probe send "$list" $LB_GETCOUNT 0 0)"
check_eq "no row selected" -1 "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)"
check "no file before the save" test ! -e "$E2E_DIR/$NEW_NAME.PTH"

main_foreground
check "Ctrl+S" real_key "$E2E_MAIN" ctrl+s
new_file=$E2E_DIR/$NEW_NAME.PTH
e2e_until 5 test -f "$new_file"
e2e_check_file "the new group's file: twenty empty sections" "$new_file" < <(
  for n in $(seq -w 1 20); do printf '[%s]\nTITLE=\nPATH=\n' "$n"; done)

# ---------------------------------------------------------------- rename, cancelled
# The new group is the second row.
main_foreground
e2e_click "$E2E_MAIN" $((lx + 60)) $((ly + row_height + row_height / 2))
selected_row_is() { [ "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)" = "$1" ]; }
e2e_until 5 selected_row_is 1
check_eq "the new group selected with a click" 1 "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)"
open_group_menu || fail "the group menu opens again"
check "second item chosen with the keys" choose_item 2
if dialog=$(e2e_probe wait-window TFrmFR0040CG 業務名の変更 5000); then
  pass "the rename dialog opens"
  e2e_probe wait-foreground "$dialog" 3000 >/dev/null
  e2e_shot rename-dialog >/dev/null
  labels=$(e2e_probe children "$dialog")
  check_match "the current name is shown" "\"$NEW_NAME\"" "$labels"
  edit=$(awk '/Edit/ { print $1; exit }' <<<"$labels")
  check_eq "the name box holds the current name" "$NEW_NAME" "$(e2e_probe text "$edit")"
  cancel=$(dialog_button "$dialog" "ｷｬﾝｾﾙ")
  check "Cancel pressed" e2e_probe click "$cancel"
  check "the dialog goes" e2e_probe wait-gone "$dialog" 5000
else
  fail "the rename dialog opens"
fi
check_eq "the name is unchanged (its UTF-16 units)" $(( $(printf '%s' "$NEW_NAME" | iconv -f UTF-8 -t UTF-16LE | wc -c) / 2 )) \
  "$(e2e_probe send "$list" $LB_GETTEXTLEN 1 0)"
check_eq "the row stays selected" 1 "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)"

# ---------------------------------------------------------------- delete
open_group_menu || fail "the group menu opens a third time"
check "third item chosen with the keys" choose_item 3
if e2e_msgbox; then
  check_eq "the question" "$NEW_NAME を削除します。"$'\n\n'"よろしいですか。" "$MSGBOX_TEXT"
  check_eq "its caption" Korvane "$MSGBOX_CAPTION"
  check_eq "Yes and No" "6 7" "$MSGBOX_BUTTONS"
  check_eq "No is the default" 7 "$MSGBOX_DEFAULT"
  check "Yes pressed" e2e_press 6
else
  fail "the deletion question appears"
fi
check_eq "one group left" 1 "$(e2e_probe send "$list" $LB_GETCOUNT 0 0)"
check_eq "no row selected after the deletion" -1 "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)"
check "the file stays until the save" test -f "$new_file"
main_foreground
check "Ctrl+S again" real_key "$E2E_MAIN" ctrl+s
e2e_until 5 test ! -e "$new_file"
check "the save removed the file" test ! -e "$new_file"
check "the other group's file stays" test -f "$E2E_DIR/見積.PTH"

# ---------------------------------------------------------------- version dialog
main_foreground
check "Alt+H, A" real_key "$E2E_MAIN" alt+h a
if about=$(e2e_probe wait-window TAboutBox "Version Information" 5000); then
  pass "the version dialog opens from the Help menu"
  e2e_probe wait-foreground "$about" 3000 >/dev/null
  # The pointer over the link's first letters turns it cyan; elsewhere in
  # the dialog it is blue again.
  read -r ax ay _ <<<"$(e2e_probe client-rect "$about")"
  link_shows() {
    local shot
    shot=$(e2e_shot "$2") || return 1
    convert "$shot" -crop "135x13+$((ax + 8 + 136))+$((ay + 8 + 104))" -format %c histogram:info:- 2>/dev/null |
      grep -q "$1"
  }
  xdotool mousemove $((ax + 8 + 136 + 6)) $((ay + 8 + 104 + 6)) 2>/dev/null </dev/null
  check "the link is cyan under the pointer" e2e_until 5 link_shows "#00FFFF" version-dialog
  xdotool mousemove $((ax + 8 + 20)) $((ay + 8 + 20)) 2>/dev/null </dev/null
  check "blue again elsewhere" e2e_until 5 link_shows "#0000FF" version-dialog-pointer-away
  check "Enter closes it" real_key "$about" Return
  check "the version dialog goes" e2e_probe wait-gone "$about" 5000
else
  fail "the version dialog opens from the Help menu"
fi

e2e_close
e2e_finish
