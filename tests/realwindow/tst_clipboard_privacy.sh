#!/bin/bash
# The copy offers the password-manager hint besides the text, through a real X server,
# and the text target holds exactly password CR LF reading.
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
start_app
xdotool type --delay 30 --window "$WIN" "k9"
click_control btnCopy
wait_clipboard 'k9\r\n小文字:ケイ、数字:キュー' "copy of k9"
targets=$(xclip -o -selection clipboard -t TARGETS)
echo "$targets" | grep -qx 'x-kde-passwordManagerHint' || fail "no password hint among: $targets"
echo "$targets" | grep -qx 'UTF8_STRING' || echo "$targets" | grep -qx 'text/plain;charset=utf-8' || fail "no text target among: $targets"
hint=$(xclip -o -selection clipboard -t x-kde-passwordManagerHint)
[ "$hint" = secret ] || fail "hint is '$hint'"
got=$(xclip -o -selection clipboard -t UTF8_STRING | od -An -c)
want=$(printf 'k9\r\n小文字:ケイ、数字:キュー' | od -An -c)
[ "$got" = "$want" ] || fail "text target holds: $(xclip -o -selection clipboard -t UTF8_STRING | cat -A)"
click_control btnEnd
wait_exit
echo "PASS: tst_clipboard_privacy"
