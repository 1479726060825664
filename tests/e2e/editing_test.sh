#!/usr/bin/env bash
# Editing and launching with the real program, from the keyboard and the
# mouse as a user does:
# - the group chosen with the arrow keys, a title cell reached with the
#   arrows, F2, a title typed (ASCII and Japanese), Enter returns the focus
#   to the grid, Ctrl+S writes the title in code page 932;
# - Ctrl+S and the close question while the title editor is still open:
#   the typed text is committed first;
# - a path cell, Enter, the real open-file dialog answered from outside (a
#   typed Z:\ path plus Enter, and the probe): the entry gets the Windows
#   path, an empty title becomes the file name without its extension;
# - launcher mode: a launch button whose file was deleted after loading
#   says "ファイルが存在しません。" and turns into the red cross.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

FILES=$E2E_TMP/files
mkdir -p "$FILES/資料"
printf 'report\r\n' >"$FILES/報告.txt"
printf 'x\r\n' >"$FILES/report.final.txt"
printf 'a,b\r\n' >"$FILES/資料/見積表.csv"
REPORT=$(e2e_winpath "$FILES/報告.txt")
TYPED=$(e2e_winpath "$FILES/report.final.txt")
PROBED=$(e2e_winpath "$FILES/資料/見積表.csv")
GROUP=$E2E_DIR/業務A.PTH

# full_group "title|path"...: the UTF-8 text of a whole group file, entries
# 1..N as given, the others empty (the order the program writes).
E1="報告|$REPORT" E2='古い題|C:\業務\古い.doc' E3='三番|C:\業務\三番.xls' E4="|" E5="|"
full_group "$E1" "$E2" "$E3" "$E4" "$E5" | e2e_group 業務A

# expect: the file as the program must write it from the current E1..E5.
expect() {
  full_group "$E1" "$E2" "$E3" "$E4" "$E5" | e2e_cp932 >"$E2E_TMP/expected.PTH"
}
saved_as_expected() { cmp -s "$GROUP" "$E2E_TMP/expected.PTH"; }
# check_saved LABEL: waits for the save, then compares byte for byte.
check_saved() {
  expect
  e2e_until 5 saved_as_expected
  e2e_check_bytes "$1" "$GROUP" "$E2E_TMP/expected.PTH"
}

# start: launches the program; the group list has the focus, Down selects
# the group and the grid takes the focus on entry 1's title cell.
start() {
  e2e_launch
  e2e_probe wait-foreground "$E2E_MAIN" 5000 >/dev/null
  local children
  children=$(e2e_probe children "$E2E_MAIN")
  GRID=$(awk '/ ui.DrawGrid / { print $1; exit }' <<<"$children")
  EDITOR=$(awk '/ Edit / { print $1; exit }' <<<"$children")
  [ -n "$GRID" ] && [ -n "$EDITOR" ] || e2e_abort "the grid and the title editor are found" "$children"
  e2e_real_key "$E2E_MAIN" Down || fail "Down is typed on the group list"
  e2e_until 3 focus_is "$GRID" || fail "Down on the group list: the group is chosen, the grid has the focus"
}
editor_open() { [ "$(e2e_probe visible "$EDITOR")" = 1 ] && focus_is "$EDITOR"; }
editor_closed() { [ "$(e2e_probe visible "$EDITOR")" = 0 ]; }

# type_title TEXT: F2 on the current title cell, then the text typed.
type_title() {
  e2e_real_key "$E2E_MAIN" F2 || return 1
  e2e_until 3 editor_open || { echo "F2 opens no editor" >&2; return 1; }
  e2e_enter_text "$E2E_MAIN" "$1" || return 1
  e2e_until 5 text_is "$EDITOR" "$1" ||
    { echo "the editor holds '$(e2e_probe text "$EDITOR")'" >&2; return 1; }
}

# close_question: waits for the close question and checks its text.
close_question() {
  if e2e_msgbox; then
    check_eq "$1: the close question" $'変更は保存されていません。\n\n終了してもよろしいですか？' "$MSGBOX_TEXT"
    return 0
  fi
  fail "$1: the close question appears"
  return 1
}

# ---------------------------------------------------------------- keyboard only
start
check "arrow down to entry 2's title cell, F2, a title typed over the old one" \
  eval 'e2e_real_key "$E2E_MAIN" Down && type_title "Memo 見積"'
e2e_shot title-editor >/dev/null
check "Enter" e2e_real_key "$E2E_MAIN" Return
check "Enter closes the editor" e2e_until 3 editor_closed
check "Enter returns the focus to the grid" e2e_until 3 focus_is "$GRID"
check "Ctrl+S" e2e_real_key "$E2E_MAIN" ctrl+s
E2="Memo 見積|C:\\業務\\古い.doc"
check_saved "the title is saved in code page 932 in section 02"
e2e_close

# ---------------------------------------------------------------- editor still open
start
check "entry 3: a title typed" eval 'e2e_real_key "$E2E_MAIN" Down Down && type_title "Draft 下書き"'
check "Ctrl+S with the editor open" e2e_real_key "$E2E_MAIN" ctrl+s
E3="Draft 下書き|C:\\業務\\三番.xls"
check_saved "Ctrl+S commits the open edit and saves it"
check "the editor is closed by the save" e2e_until 3 editor_closed

check "another title typed" type_title "Second 二番"
check "Alt+F4 with the editor open" e2e_real_key "$E2E_MAIN" alt+F4
if close_question "Alt+F4"; then
  check "No pressed" e2e_press 7
  check "No: the main window is active again" e2e_probe wait-foreground "$E2E_MAIN" 5000
  check "No: the program keeps running" e2e_alive "$E2E_PID"
  check "No: the edit was committed, the editor closed" editor_closed
  check "Ctrl+S after No" e2e_real_key "$E2E_MAIN" ctrl+s
  E3="Second 二番|C:\\業務\\三番.xls"
  check_saved "the text committed by the close query is what the save writes"
  expect
  cp "$E2E_TMP/expected.PTH" "$E2E_TMP/second.PTH"

  check "a third title typed" type_title "Third"
  check "Alt+F4 again with the editor open" e2e_real_key "$E2E_MAIN" alt+F4
  if close_question "Alt+F4 again"; then
    check "Yes pressed" e2e_press 6
    if e2e_wait_exit "$E2E_PID" 10; then
      pass "Yes: the program ends"
      check_eq "Yes: exit code" 0 "$E2E_EXIT_CODE"
    else
      fail "Yes: the program ends" "still running; killed"
    fi
    E2E_PID=""
    e2e_check_bytes "Yes: the group file is unchanged since the save" "$GROUP" "$E2E_TMP/second.PTH"
  fi
fi
if [ -n "$E2E_PID" ]; then e2e_close; fi

# ---------------------------------------------------------------- the open-file dialog
start
# Entry 4's path cell: Enter opens the dialog.
check "Down to entry 4, Right to its path cell, Enter" e2e_real_key "$E2E_MAIN" Down Down Down Right Return
if dialog=$(e2e_probe wait-window "#32770" - 10000); then
  pass "Enter on a path cell opens the open-file dialog"
  e2e_probe wait-foreground "$dialog" 5000 >/dev/null
  e2e_shot open-file-dialog >/dev/null
  check "a full Z:\\ path typed" e2e_real_type "$dialog" "$TYPED"
  check "Enter" e2e_real_key "$dialog" Return
  check "the dialog closes" e2e_probe wait-gone "$dialog" 5000
else
  fail "Enter on a path cell opens the open-file dialog"
fi
e2e_until 3 focus_is "$GRID" || e2e_focus "$E2E_MAIN"
# Entry 5, answered by the probe: a Japanese name whose 表 ends in 0x5C.
check "Down to entry 5's path cell, Enter" e2e_real_key "$E2E_MAIN" Down Return
check "the dialog is answered with a Japanese file name" e2e_openfile "$FILES/資料/見積表.csv"
e2e_until 3 focus_is "$GRID" || e2e_focus "$E2E_MAIN"
check "Ctrl+S" e2e_real_key "$E2E_MAIN" ctrl+s
E4="report.final|$TYPED" E5="見積表|$PROBED"
check_saved "the chosen paths are saved; the empty titles became the file names without extension"

# ---------------------------------------------------------------- launcher mode
# button_has COLOUR ROW: the 40 x 40 launch button of an entry shows that colour.
check "entry 1's file exists: the blue ring" button_has "#0000FF" 1
check "and no red cross" eval '! button_has "#FF0000" 1'
# The launcher-mode speed button; the toolbar panel is at the client top.
check "the launcher-mode button is clicked" e2e_click "$E2E_MAIN" $((176 + 20)) $((8 + 20))
rm "$FILES/報告.txt"
read -r gx gy _ <<<"$(e2e_probe client-rect "$GRID")"
read -r mx my _ <<<"$(e2e_probe client-rect "$E2E_MAIN")"
check "entry 1's launch button is clicked" e2e_click "$E2E_MAIN" $((gx - mx + 20)) $((gy - my + 41 + 20))
if e2e_msgbox; then
  check_eq "the missing file is reported" "ファイルが存在しません。" "$MSGBOX_TEXT"
  check_eq "with OK alone" 1 "$MSGBOX_BUTTONS"
  check "OK pressed" e2e_press 1
else
  fail "launching a deleted file shows a message"
fi
check "the launch button shows the red cross" e2e_until 5 button_has "#FF0000" 1
check "and no longer the blue ring" eval '! button_has "#0000FF" 1'
# F2 in launcher mode launches the current entry (the press made entry 1
# current) instead of opening the title editor.
e2e_until 3 focus_is "$GRID" || e2e_focus "$E2E_MAIN"
check "F2 in launcher mode" e2e_real_key "$E2E_MAIN" F2
if e2e_msgbox; then
  check_eq "F2 launches: the missing file is reported again" "ファイルが存在しません。" "$MSGBOX_TEXT"
  check "OK pressed" e2e_press 1
else
  fail "F2 in launcher mode launches the current entry"
fi
check "F2 in launcher mode opens no editor" editor_closed
# Neither the mode switch nor the launch is a change: the close asks nothing.
e2e_close
e2e_check_bytes "the group file is as last saved" "$GROUP" "$E2E_TMP/expected.PTH"

e2e_finish
