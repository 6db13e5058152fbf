#!/bin/bash
# The keyboard order from a check box that took the focus by a click, with real key
# events: Tab goes on to the exit button, Shift+Tab back to the password edit.
# Usage: tst_focus_order.sh <path to kanavox>
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"

note "click chkNum, Tab, Space: the exit button closes the window"
start_app
click_control chkNum 4 8
xdotool key Tab space
wait_exit
grep -q $'^Num=1\r$' "$INI" || fail "chkNum was not toggled: $(cat -A "$INI")"

note "click chkKigou, Shift+Tab, type: the edit has the focus"
start_app
click_control chkKigou 4 8
xdotool key shift+Tab
xdotool type --delay 30 --window "$WIN" "a"
click_control btnCopy
wait_clipboard 'a\r\n小文字:エー' "the typed a"
click_control btnEnd
wait_exit
grep -q $'^Kigou=1\r$' "$INI" || fail "chkKigou was not toggled: $(cat -A "$INI")"
echo "PASS: tst_focus_order"
