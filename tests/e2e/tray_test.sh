#!/usr/bin/env bash
# The tray under a Wine virtual desktop with a taskbar: the icon is there
# from the start to the end; minimising hides the main window and the
# taskbar button; single and right clicks on the icon do nothing; a double
# click brings the window back, maximised if it was. Screenshots of the
# main window and of the tray are kept in the artifacts folder.
source "$(dirname "$0")/lib.sh"
E2E_DESKTOP=1024x768 e2e_begin
e2e_install
e2e_group 業務A <<'EOF'
[01]
TITLE=見積書
PATH=C:\windows\notepad.exe
[02]
TITLE=存在しない資料
PATH=C:\業務\資料.doc
[03]
TITLE=
PATH=
EOF
e2e_group 経理 <<'EOF'
[01]
TITLE=電卓
PATH=C:\windows\system32\calc.exe
EOF

tips() {
  e2e_tray_icons | awk '{ $1 = $2 = $3 = $4 = ""; sub(/^ +/, ""); print }' | sort | tr '\n' ,
}
# The application window: the owner of the main window, with the taskbar button.
app_window() {
  e2e_probe info "$E2E_MAIN" | sed -n 's/^owner //p'
}
hidden() { [ "$(e2e_probe visible "$E2E_MAIN")" = 0 ] && [ "$(e2e_probe visible "$app")" = 0 ]; }
shown() { [ "$(e2e_probe visible "$E2E_MAIN")" = 1 ] && [ "$(e2e_probe visible "$app")" = 1 ]; }

e2e_launch
app=$(app_window)
check_eq "the application window carries the title" Korvane "$(e2e_probe text "$app")"
has_icon() { [ -n "$(tips)" ]; }
e2e_until 5 has_icon
check_eq "one tray icon, tip Korvane" "Korvane," "$(tips)"

# The main window with a group chosen.
e2e_choose_group 1 || fail "the group is chosen"
e2e_shot main-window >/dev/null

# Minimised with the title bar's button (the system's minimise command).
e2e_probe send "$E2E_MAIN" 0x112 0xF020 0 >/dev/null
check "minimised: the main window and the taskbar button go" e2e_until 3 hidden
check_eq "minimised: the icon stays" "Korvane," "$(tips)"
e2e_shot tray >/dev/null

read -r ix iy iw ih _ <<<"$(e2e_tray_icons | head -1)"
e2e_click_screen $((ix + iw / 2)) $((iy + ih / 2)) 1 1
e2e_click_screen $((ix + iw / 2)) $((iy + ih / 2)) 3 1
sleep 0.8
check "a single click and a right click do nothing" hidden
check_eq "no tray menu" 0 "$(e2e_probe count-windows '#32768' -)"

check "the icon is double-clicked" e2e_tray_double_click Korvane
check "double click: the window comes back" e2e_until 3 shown
check "double click: in the foreground" e2e_probe wait-foreground "$E2E_MAIN" 3000

# Maximised, hidden, back: still maximised.
e2e_probe post "$E2E_MAIN" 0x112 0xF030 0 >/dev/null
check "the window is maximised" e2e_until 3 maximised
before=$(e2e_probe rect "$E2E_MAIN")
e2e_probe post "$E2E_MAIN" 0x112 0xF020 0 >/dev/null
check "maximised: hidden" e2e_until 3 hidden
check "maximised: the icon is double-clicked" e2e_tray_double_click Korvane
check "maximised: back" e2e_until 3 shown
check "maximised: back maximised" maximised
check_eq "maximised: same place and size" "$before" "$(e2e_probe rect "$E2E_MAIN")"
e2e_shot restored-maximised >/dev/null

e2e_close
check_eq "no tray icon after the end" "" "$(tips)"
e2e_finish
