#!/bin/bash
# A session as a user lives it: options clicked while a password is typed, each reading
# read back through the copy button and the X clipboard, the settings written by the exit
# button after the window was moved, a second start at that place with those options
# (the disabled option's caption grey), and a settings file that cannot be written.
# Usage: tst_session.sh <kanavox> <palette_probe>
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"

# copy_expect <password> <reading>: presses the copy button and checks the X clipboard.
copy_expect() {
    click_control btnCopy
    # The line break stays a printf escape: a command substitution would drop the final LF
    # of an empty reading's copy.
    wait_clipboard "$(printf '%s' "$1" | sed 's/[%\\]/&&/g')\r\n$(printf '%s' "$2" | sed 's/[%\\]/&&/g')" "after '$3'"
    echo "   $3: $2"
}
# to_edit: a click into the password edit behind its text (a clicked option keeps the focus).
to_edit() {
    click_control edtPass 498 12
}
# option <check box>: clicks the check box's caption.
option() {
    click_control "$1" 58 10
}

note "first start: readings under the options"
start_app
xdotool type --delay 30 --window "$WIN" "AB1a"
copy_expect AB1a "大文字:エー、大文字:ビー、数字:イチ、小文字:エー" "defaults"
option chk1Mojisyu    # off: one prefix per run
copy_expect AB1a "大文字:エー、ビー、数字:イチ、小文字:エー" "one prefix per run"
option chkSepBlank    # on
copy_expect AB1a "大文字:エー ビー 数字:イチ 小文字:エー" "blank separator"
option chkNum         # on
copy_expect AB1a "大文字:エー ビー 数字:1 小文字:エー" "digits kept"
option chkMojisyuIns  # off: no prefixes, chk1Mojisyu disabled
copy_expect AB1a "エー ビー 1 エー" "no classes"
option chk1Mojisyu    # disabled: the click changes nothing
copy_expect AB1a "エー ビー 1 エー" "click on the disabled option"
to_edit
xdotool type --delay 30 --window "$WIN" "@"
option chkKigou       # on
copy_expect AB1a@ "エー ビー 1 エー @" "symbols kept"
to_edit
xdotool key --delay 30 --window "$WIN" BackSpace BackSpace BackSpace BackSpace BackSpace
copy_expect "" "" "password erased, the reading with it"

note "the window moves; the exit button writes the exact file"
move_window "$WIN" 150 90
window_geometry
[ "$WX,$WY" = "150,90" ] || fail "window did not move (at $WX,$WY)"
click_control btnEnd
wait_exit
expect_stored "$INI" 90 150 00111
[ "$(wc -l <"$INI")" -eq 11 ] || fail "settings file has $(wc -l <"$INI") lines"

note "second start: stored place and options"
start_app
window_geometry
[ "$WX,$WY" = "150,90" ] || fail "second start at $WX,$WY, expected 150,90"
[ "$WW x $WH" = "664 x 443" ] || fail "client area $WW x $WH"
xdotool type --delay 30 --window "$WIN" "a1@"
copy_expect a1@ "エー 1 @" "stored options"
shot="$WORK/second.png"
wait_still "$shot"
grey=$(darkest "$shot" 118 114 200 16)
echo "   darkest of the disabled option's caption: $grey"
near "${grey%% *}" 128,128,128 8 || fail "disabled caption is not grey ($grey)"
option chkMojisyuIns  # on again: chk1Mojisyu enabled, still unchecked
copy_expect a1@ "小文字:エー 数字:1 記号:@" "classes back, one per run"
wait_still "$shot"
black=$(darkest "$shot" 118 114 200 16)
echo "   darkest of the re-enabled option's caption: $black"
[ "$(luma "${black%% *}")" -lt 60 ] || fail "re-enabled caption not black ($black)"

note "a settings file that cannot be written"
rm -f "$INI"
mkdir "$INI"
click_control btnEnd
box=$(wait_error_box)
echo "   error box window(s): $(echo $box)"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
# The application icon reaches every window of the program, the box included.
icons=$(xprop -id "$(echo "$box" | head -1)" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
echo "   error box icons: $icons"
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) " ] || fail "error box icon sizes: $icons"
[ -n "$(window_named "$MAIN_WINDOW_NAME")" ] || fail "the main window is gone"
xwininfo -id "$(echo "$box" | head -1)" | grep -E 'xwininfo|Width|Height' | sed 's/^/   /'
close_error_box "$(echo "$box" | head -1)"
[ -n "$(window_named "$MAIN_WINDOW_NAME")" ] || fail "the main window closed after the failed write"
rmdir "$INI"
click_control btnEnd
wait_exit
expect_stored "$INI" 90 150 10111
echo "PASS: tst_session"
