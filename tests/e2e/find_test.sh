#!/usr/bin/env bash
# Find from anywhere: with another program in front, the hot key (the
# default, Ctrl+Alt+Space) brings Korvane forward with the find box open
# and its text box focused; part of a title typed lists the entry; Enter
# launches it. Screenshots of the box before and after the launch are kept
# in the artifacts folder.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install
# The entry to launch: a small window program of its own, in the data folder.
cp "$E2E_FIXTURES/fixture_window.exe" "$E2E_DIR/launched.exe"
launched=$(e2e_winpath "$E2E_DIR/launched.exe")
e2e_group 経理 <<EOF
[01]
TITLE=月次請求書
PATH=C:\\業務\\請求書.xls
[02]
TITLE=Invoice Tool
PATH=$launched
EOF
e2e_group 営業 <<'EOF'
[01]
TITLE=見積書
PATH=C:\業務\見積書.doc
EOF

# Launcher mode: Enter launches (in registration mode it shows the entry).
printf '[Korvane]\r\nMODE=1\r\n' >"$E2E_DIR/Korvane.INI"
e2e_launch
fixture_windows() { e2e_probe count-windows KorvaneFixtureWindow Fixture; }

# Another program's window in front.
e2e_start "$E2E_FIXTURES/fixture_window.exe"
other=$(e2e_probe wait-window KorvaneFixtureWindow Fixture 10000) || e2e_abort "another program's window appears"
check "another program is in front" e2e_probe wait-foreground "$other" 3000
check_eq "one window of the other program" 1 "$(fixture_windows)"

# The hot key pressed there.
check "the hot key is pressed in the other program" e2e_real_key "$other" ctrl+alt+space
if box=$(e2e_probe wait-window Korvane.Find 検索 5000); then
  check "the find box comes to the foreground" e2e_probe wait-foreground "$box" 3000
  focus=$(e2e_probe focus)
  check_eq "a text box has the focus" Edit "$(e2e_probe class "$focus")"
  check_match "the find box's own" "$focus" "$(e2e_probe children "$box" | awk '{ print $1 }' | tr '\n' ' ')"
  check "part of a title is typed" e2e_real_type "$box" "invoice"
  e2e_until 5 text_is "$focus" invoice
  check_eq "the text box holds it" invoice "$(e2e_probe text "$focus")"
  e2e_shot find-box >/dev/null
  check "Enter" e2e_real_key "$box" Return
  two() { [ "$(fixture_windows)" = 2 ]; }
  check "Enter launches the entry" e2e_until 10 two
  check_eq "no message box" 0 "$(e2e_probe count-windows '#32770' -)"
  e2e_shot launched >/dev/null
else
  fail "the hot key opens the find box"
fi

# The launched program and the other one end.
for w in $(e2e_probe windows '*' | awk '/KorvaneFixtureWindow/ { print $1 }'); do e2e_probe close "$w" >/dev/null; done
e2e_close
e2e_finish
