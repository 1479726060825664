#!/usr/bin/env bash
# The program hidden to the tray while the new-group dialog is open, brought
# back by a second start, ROUNDS times (default 15): each time one key is
# typed from the keyboard (XTEST, to whatever holds the X input focus) the
# moment the second copy has ended, and must land in the dialog's name box.
# A loss gets a screenshot. The normal test run goes three rounds
# (E2E_ROUNDS); on a busy machine, run more and load it meanwhile:
#   tests/e2e/restore_focus_soak.sh [ROUNDS]
source "$(dirname "$0")/../../tests/e2e/lib.sh"
rounds=${1:-${E2E_ROUNDS:-15}}
e2e_begin restore_focus_soak
e2e_install
e2e_launch
first=$E2E_MAIN
restore_focus_rounds() {
  local list mx my lx ly lh dialog edit typed round cancel
  list=$(e2e_probe children "$first" | awk '/ ListBox / { print $1; exit }')
  read -r mx my _ <<<"$(e2e_probe client-rect "$first")"
  read -r lx ly _ lh <<<"$(e2e_probe client-rect "$list")"
  e2e_focus "$first" >/dev/null
  e2e_probe wait-foreground "$first" 3000 >/dev/null
  e2e_click "$first" $((lx - mx + 20)) $((ly - my + lh - 10)) 3
  e2e_probe wait-window "#32768" - 5000 >/dev/null || { fail "the group menu opens"; return; }
  e2e_real_key "$first" Down Return
  dialog=$(e2e_probe wait-window TFrmFR0030NG 業務名の新規追加 5000) || { fail "the new-group dialog opens"; return; }
  edit=$(e2e_probe children "$dialog" | awk '/Edit/ { print $1; exit }')
  box_holds() { [ "$(e2e_probe text "$edit")" = "$1" ]; }
  typed=""
  for ((round = 1; round <= rounds; round++)); do
    e2e_probe post "$dialog" 0x112 0xF020 0 >/dev/null
    e2e_probe wait-hidden "$dialog" 3000 >/dev/null || { fail "round $round: the dialog hides with the program"; break; }
    e2e_start "$E2E_DIR/Korvane.exe"
    e2e_wait_exit "$E2E_LAST_PID" 10 || { fail "round $round: the second copy ends"; break; }
    xdotool key --delay 0 x </dev/null
    typed+=x
    if e2e_until 3 box_holds "$typed"; then
      pass "round $round: the key typed at once lands in the name box"
    else
      fail "round $round: the key typed at once lands in the name box" \
        "box \"$(e2e_probe text "$edit")\", X focus $(xdotool getwindowfocus 2>&1), dialog's X window $(e2e_xid "$dialog"), focus $(e2e_probe info "$(e2e_probe focus)" | head -1)"
      e2e_shot "restore-focus-$round" >/dev/null
      e2e_probe settext "$edit" "$typed" >/dev/null
    fi
  done
  cancel=$(e2e_probe children "$dialog" | awk '$NF == "\"ｷｬﾝｾﾙ\"" && /Button/ { print $1; exit }')
  e2e_probe click "$cancel" >/dev/null
  check "Cancel closes the dialog" e2e_probe wait-gone "$dialog" 5000
}
restore_focus_rounds
e2e_close
e2e_finish
