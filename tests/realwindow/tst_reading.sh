#!/bin/bash
# What is read and copied holds every character of a pasted password, through a real X
# server: Ctrl+V of a password with characters outside the alphabet, then the copy button,
# gives one piece per character on the second line; select all and Backspace, then the
# copy button, gives an empty second line, not the former password's reading.
# Usage: tst_reading.sh <path to kanavox>
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
start_app

# copy <printf-format> <what>: one click on the copy button, then the clipboard holds the
# text. The keys sent before reach the program ahead of the click, and the paste fetches
# the clipboard before its key is done.
copy() {
    click_control btnCopy
    wait_clipboard "$1" "$2"
}

note "Ctrl+V of P@ss-w0rd.2024! then copy: 15 pieces"
set_clipboard 'P@ss-w0rd.2024!'
click_control edtPass 198 12
xdotool key ctrl+v
reading='大文字:ピー、記号:単価記号、小文字:エス、小文字:エス、記号:「-」、小文字:ダブリュー、数字:ゼロ、小文字:アール、小文字:ディー、記号:「.」、数字:ニ、数字:ゼロ、数字:ニ、数字:ヨン、記号:感嘆符'
copy "P@ss-w0rd.2024!\r\n$reading" "ctrl+v of P@ss-w0rd.2024!"
pieces=$(clipboard_text | tail -n 1 | awk -F'、' '{ print NF }')
echo "   pieces on the second line: $pieces"
[ "$pieces" = 15 ] || fail "$pieces pieces for 15 characters"

note "select all and Backspace, then copy: the second line is empty"
click_control edtPass 198 12
xdotool key ctrl+a BackSpace
copy '\r\n' "after erasing"

click_control btnEnd
wait_exit
echo "PASS: tst_reading"
