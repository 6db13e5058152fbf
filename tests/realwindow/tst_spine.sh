#!/bin/bash
# The program as a user meets it in a real X server: the window at its stored place,
# a typed reading copied to the X clipboard, and the settings written by the exit button.
# Usage: tst_spine.sh <path to kanavox>
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"

note "first start, no settings file"
start_app
window_geometry
[ "$WX,$WY" = "0,0" ] || fail "window at $WX,$WY, expected 0,0"
[ "$WW x $WH" = "664 x 443" ] || fail "client area $WW x $WH"

note "type Ab1 and copy"
xdotool type --delay 30 --window "$WIN" "Ab1"
click_control btnCopy
wait_clipboard 'Ab1\r\n大文字:エー、小文字:ビー、数字:イチ' "copy of Ab1"

note "exit button writes the settings"
click_control btnEnd
wait_exit
expect_stored "$INI" 0 0 11000

note "second start at the stored position with the stored options"
stored 120 80 01100 >"$INI"
start_app
window_geometry
[ "$WX,$WY" = "80,120" ] || fail "window at $WX,$WY, expected 80,120"
xdotool type --delay 30 --window "$WIN" "a1"
click_control btnCopy
wait_clipboard 'a1\r\nエー イチ' "copy of a1 under the stored options"
click_control btnEnd
wait_exit
expect_stored "$INI" 120 80 01100
echo "PASS: tst_spine"
