#!/usr/bin/env bash
# The real program starts from a folder whose code page 932 name holds 0x5C
# trail bytes, shows its main window under the class and title a second
# copy looks for, and ends cleanly on WM_CLOSE. Then the harness's own
# reading and answering of message boxes, on a stand-in that shows boxes
# the way the program does.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install ソフト表

e2e_launch
check_eq "main window class" TFrmFR0010MN "$(e2e_probe class "$E2E_MAIN")"
check_eq "main window title" Korvane "$(e2e_probe text "$E2E_MAIN")"
check_eq "main window visible" 1 "$(e2e_probe visible "$E2E_MAIN")"
check_eq "exactly one main window" 1 "$(e2e_probe count-windows TFrmFR0010MN Korvane)"
path=$(e2e_probe info "$E2E_MAIN" | sed -n 's/^path //p')
check_eq "runs from the Japanese folder" "$(e2e_winpath "$E2E_DIR/Korvane.exe")" "$path"
e2e_shot main-window >/dev/null
e2e_close 5
check "no copy left running" e2e_probe wait-exit 3000

# Message boxes: text with CR LF and 0x5C trail bytes, caption, buttons,
# the default button, answered by button id and by a key.
cp "$E2E_FIXTURES/fixture_msgbox.exe" "$E2E_DIR/"
E2E_PROBE_OPTIONS=(--exe fixture_msgbox.exe)
e2e_start "$E2E_DIR/fixture_msgbox.exe" yesno info warn
boxes=$E2E_LAST_PID
if e2e_msgbox; then
  check_eq "question box caption" Korvane "$MSGBOX_CAPTION"
  check_eq "question box text" $'変更は保存されていません。\n\n終了してもよろしいですか？' "$MSGBOX_TEXT"
  check_eq "question box buttons" "6 7" "$MSGBOX_BUTTONS"
  check_eq "question box default" 7 "$MSGBOX_DEFAULT"
  check "No pressed" e2e_press 7
else
  fail "the question box appears"
fi
if e2e_msgbox; then
  check_eq "information box text" "ファイルが存在しません。" "$MSGBOX_TEXT"
  check_eq "information box buttons" 1 "$MSGBOX_BUTTONS"
  check "OK pressed" e2e_press 1
else
  fail "the information box appears"
fi
if e2e_msgbox; then
  check_eq "warning box text" 'C:\ソフト表\予定表.PTH に書き込めません。' "$MSGBOX_TEXT"
  check "Enter sent to the box" e2e_key "$MSGBOX_HWND" Return
else
  fail "the warning box appears"
fi
if e2e_wait_exit "$boxes" 5; then
  check_eq "answers as the boxes saw them" $'yesno 7\ninfo 1\nwarn 1' "$(tr -d '\r' <"$E2E_LAST_LOG")"
else
  fail "the message box stand-in ends"
fi

e2e_finish
