#!/bin/bash
# The password edit in a real X server: select all and type replaces the password,
# Shift+Insert brings in the first line of the X clipboard, and Ctrl+V takes the whole
# clipboard text, which the edit shows whole, line break included.
# Usage: tst_edit.sh <path to kanavox>
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
start_app

# expect_copy <printf-format> <what>: the copy button puts exactly that on the X clipboard.
expect_copy() {
    click_control btnCopy
    wait_clipboard "$1" "$2"
}
focus_edit() {
    click_control edtPass 198 12
}

note "select all and type replaces the password"
focus_edit
xdotool type --delay 30 --window "$WIN" "abc"
xdotool key --window "$WIN" ctrl+a
xdotool type --delay 30 --window "$WIN" "x"
expect_copy 'x\r\n小文字:エックス' "select all + x"

note "Shift+Insert pastes the first line at the caret"
set_clipboard 'ab\ncd'
focus_edit
xdotool key --window "$WIN" ctrl+a BackSpace
xdotool key --window "$WIN" shift+Insert
expect_copy 'ab\r\n小文字:エー、小文字:ビー' "shift+insert of ab LF cd"

note "Ctrl+V takes both lines; the edit shows both, the line break as a sign"
set_clipboard 'ab\r\ncd'
focus_edit
xdotool key --window "$WIN" ctrl+v
expect_copy 'ab\r\ncd\r\n小文字:エー、小文字:ビー、記号:「改行」、小文字:シー、小文字:ディー' "ctrl+v of ab CR LF cd"
# The edit shows more than it shows for "ab" alone (the copy button holds the focus: no caret).
click_control btnCopy
wait_still "$WORK/two-lines.png"
set_clipboard 'ab'
focus_edit
xdotool key --window "$WIN" ctrl+v
click_control btnCopy
wait_clipboard_not 'ab' "the copy after pasting ab"
wait_still "$WORK/one-line.png"
# Compare the edit's text area only (the result label below differs).
convert "$WORK/two-lines.png" -crop 500x16+110+28 +repage "$WORK/a.png"
convert "$WORK/one-line.png" -crop 500x16+110+28 +repage "$WORK/b.png"
diff=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 || true)
note "pixels that differ in the edit: $diff"
# The sign and "cd" take some 40 pixels of ink at least.
[ "${diff%%.*}" -gt 30 ] 2>/dev/null || fail "the edit shows only the first line of ab CR LF cd ($diff pixels differ)"
echo "PASS: tst_edit"
