#!/bin/bash
# The first click of a session on a check box, with no window manager or under the one
# named: the press gives the box the focus, but the X server reports the focus only later,
# often after the release, and a window manager may take the click to activate the window.
# The click must toggle all the same, at once and on every box tried.
# Usage: tst_first_click.sh <path to kanavox> [window manager]
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
if [ -n "${2:-}" ]; then start_wm "$2"; fi

# As start_app, but without giving the window the focus first: the click does that.
start_unfocused() {
    ( cd "$WORK" && exec ./kanavox ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    wait_main_window
}

note "first click on chkNum right after start-up"
start_unfocused
xdotool mousemove --window "$WIN" $(control_point chkNum 4 8) click 1
click_control btnEnd
wait_exit
grep -q $'^Num=1\r$' "$INI" || fail "the first click did not toggle chkNum: $(cat -A "$INI")"

note "first click on chkKigou after another start, the focus in the edit"
start_unfocused
xdotool mousemove --window "$WIN" $(control_point edtPass 198 12) click 1
xdotool mousemove --window "$WIN" $(control_point chkKigou 4 8) click 1
click_control btnEnd
wait_exit
grep -q $'^Kigou=1\r$' "$INI" || fail "the click did not toggle chkKigou: $(cat -A "$INI")"
grep -q $'^Num=1\r$' "$INI" || fail "chkNum lost its state: $(cat -A "$INI")"
echo "PASS: tst_first_click"
