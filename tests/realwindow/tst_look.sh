#!/bin/bash
# The window as a user first sees it, checked on a screenshot from a real X server: probe
# pixels of every area (window colour, edit, captions, check box glyphs, the result
# panel's gradient, outline, caption and shadow, the bar with its bevel, both glass
# buttons), then a typed password copied with "コピーOK" shown on the bar.
# Usage: tst_look.sh <kanavox> <palette_probe>
# With KANAVOX_SCREENSHOT=<file> the finished window is also saved there (README picture).
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
system_colours "$2"
face=$COLOUR_clBtnFace
bar=134,194,217
note "system colours: face $face window $COLOUR_clWindow highlight $COLOUR_clBtnHighlight shadow $COLOUR_clBtnShadow"

start_app
window_geometry
[ "$WX,$WY" = "0,0" ] || fail "window at $WX,$WY, expected 0,0"
[ "$WW x $WH" = "664 x 443" ] || fail "client area $WW x $WH"
icons=$(xprop -id "$WIN" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
echo "   window icons: $icons"
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) " ] || fail "window icon sizes: $icons"
shot="$WORK/first.png"
wait_still "$shot"
[ "$(identify -format '%w x %h' "$shot")" = "664 x 443" ] || fail "screenshot size $(identify -format '%w x %h' "$shot")"

note "window, edit and the hint line"
probe "$shot" "window face" 8 8 "$face" 2
probe "$shot" "window face between options" 600 150 "$face" 2
# The hint line has its own colour but paints no background while styles are active.
probe "$shot" "hint line background" 570 62 "$face" 2
probe "$shot" "edit interior" 400 36 "$COLOUR_clWindow" 2

note "captions and check box glyphs"
check_dark() { # <label> <x> <y> <w> <h> <max luma>
    local d
    d=$(darkest "$shot" "$2" "$3" "$4" "$5")
    echo "   darkest of $1: ${d}"
    [ "$(luma "${d%% *}")" -lt "$6" ] || fail "$1 has no dark text (darkest $d)"
}
check_dark "caption パスワード" 16 27 80 16 60
check_dark "option caption" 118 88 320 16 60
check_dark "hint line text" 102 54 200 16 60
tick=$(darkest "$shot" 102 92 12 12)
echo "   darkest of the checked glyph (chkMojisyuIns): $tick"
tick_rgb=${tick%% *}
[ "$(luma "$tick_rgb")" -lt 130 ] || fail "no tick in the checked glyph ($tick)"
[ "$(echo "$tick_rgb" | awk -F, '{ print ($3 > $1) }')" = 1 ] || fail "the tick is not blue ($tick)"
box=$(darkest "$shot" 102 144 12 12)
echo "   darkest of the unchecked glyph (chkSepBlank): $box"
l=$(luma "${box%% *}")
[ "$l" -gt 140 ] && [ "$l" -lt $(( $(luma "$face") - 20 )) ] || fail "unchecked glyph is not a light box ($box)"

note "result panel"
probe "$shot" "panel body top" 56 237 229,238,248 5
probe "$shot" "panel body middle" 56 306 199,216,237 5
probe "$shot" "panel body bottom" 56 377 228,240,253 5
probe "$shot" "outside the rounded corner" 17 228 "$face" 6
caption=$(darkest "$shot" 266 227 130 22)
echo "   darkest of the caption 結果: $caption"
echo "${caption%% *}" | awk -F, '{ exit !($3 - $1 >= 80 && (299*$1+587*$2+114*$3)/1000 < 150) }' ||
    fail "caption 結果 is not dark blue ($caption)"
edge=$(area_pixels "$shot" 16 307 2 1 | awk '{ d = ($3-141)^2 + ($4-178)^2 + ($5-227)^2; if (!n || d < b) { b = d; o = $3 "," $4 "," $5 " " $1 } n++ } END { print o }')
echo "   left outline near (16,307): $edge"
near "${edge%% *}" 141,178,227 30 || fail "no blue outline at the panel's left edge ($edge)"
shadow_bottom=$(rgb_at "$shot" 336 391)
shadow_right=$(rgb_at "$shot" 649 307)
echo "   shadow bottom strip (336,391): $shadow_bottom, right strip (649,307): $shadow_right"
[ "$(luma "$shadow_bottom")" -le $(( $(luma "$face") - 20 )) ] || fail "bottom shadow strip too light ($shadow_bottom)"
near "$shadow_bottom" "$(echo "$shadow_bottom" | cut -d, -f1),$(echo "$shadow_bottom" | cut -d, -f1),$(echo "$shadow_bottom" | cut -d, -f1)" 4 ||
    fail "bottom shadow is not grey ($shadow_bottom)"
[ "$(luma "$shadow_right")" -lt "$(luma "$face")" ] || fail "right shadow strip not darker than the window ($shadow_right)"

note "bar and buttons"
probe "$shot" "bar fill" 50 420 "$bar" 0
probe "$shot" "bar fill right of the status" 470 420 "$bar" 0
probe "$shot" "bar bevel top" 300 402 "$COLOUR_clBtnHighlight" 0
probe "$shot" "bar bevel left" 0 420 "$COLOUR_clBtnHighlight" 0
probe "$shot" "bar bevel right" 663 420 "$COLOUR_clBtnShadow" 0
probe "$shot" "bar bevel bottom" 300 442 "$COLOUR_clBtnShadow" 0
probe "$shot" "bar bevel top-right corner" 663 402 "$COLOUR_clBtnShadow" 0
probe "$shot" "bar bevel bottom-left corner" 0 442 "$COLOUR_clBtnShadow" 0
copy_body=$(over 0,128,255 127 "$bar")
end_body=$(over 0,128,192 127 "$bar")
probe "$shot" "copy button body" 168 431 "$copy_body" 4
probe "$shot" "exit button body" 520 431 "$end_body" 4
probe "$shot" "copy button outer outline" 260 407 255,255,255 12
probe "$shot" "copy button inner outline" 260 408 0,0,0 40
probe "$shot" "exit button outer outline" 540 407 255,255,255 12
copy_b=$(rgb_at "$shot" 168 431 | cut -d, -f3)
end_b=$(rgb_at "$shot" 520 431 | cut -d, -f3)
[ "$copy_b" -gt 217 ] && [ "$end_b" -lt 217 ] || fail "copy button not brighter / exit button not darker than the bar (blue $copy_b, $end_b)"
for b in 168 520; do
    shine=$(rgb_at "$shot" "$b" 410)
    body=$(rgb_at "$shot" "$b" 431)
    echo "   shine at ($b,410): $shine over body $body"
    [ "$(luma "$shine")" -ge $(( $(luma "$body") + 30 )) ] || fail "no shine on the button at x=$b"
done
status=$(darkest "$shot" 380 415 80 16)
echo "   status area before the copy: $status"
near "${status%% *}" "$bar" 0 || fail "status area not empty before the copy ($status)"

note "type a password, copy, and see コピーOK"
xdotool type --delay 30 --window "$WIN" "Kanavox1"
click_control btnCopy
wait_clipboard 'Kanavox1\r\n大文字:ケイ、小文字:エー、小文字:エヌ、小文字:エー、小文字:ヴィー、小文字:オー、小文字:エックス、数字:イチ' "copy of Kanavox1"
shot2="$WORK/copied.png"
wait_still "$shot2"
status=$(darkest "$shot2" 380 415 80 16)
echo "   darkest of the status after the copy: $status"
[ "$(luma "${status%% *}")" -lt 80 ] || fail "no dark status text near x=380 after the copy ($status)"
reading=$(darkest "$shot2" 36 259 500 16)
echo "   darkest of the reading's first line: $reading"
[ "$(luma "${reading%% *}")" -lt 60 ] || fail "the reading is not shown ($reading)"
if [ -n "${KANAVOX_SCREENSHOT:-}" ]; then
    cp "$shot2" "$KANAVOX_SCREENSHOT"
    note "screenshot saved to $KANAVOX_SCREENSHOT"
fi
click_control btnEnd
wait_exit
echo "PASS: tst_look"
