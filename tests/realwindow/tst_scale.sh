#!/bin/bash
# On a screen of twice the density (QT_SCALE_FACTOR=2) Qt enlarges the finished window:
# twice the pixels, the same layout, and a stored position in the program's own
# (logical) pixels.
# Usage: tst_scale.sh <kanavox> <palette_probe>
source "$(dirname "$0")/xvfb.sh"
XVFB_SCREEN=2048x1536x24 start_xvfb
install_copy "$1"
system_colours "$2"
export QT_SCALE_FACTOR=2

start_app
window_geometry
[ "$WX,$WY" = "0,0" ] || fail "window at $WX,$WY, expected 0,0"
[ "$WW x $WH" = "1328 x 886" ] || fail "client area $WW x $WH, expected twice 664 x 443"
shot="$WORK/scaled.png"
wait_still "$shot"
# Logical point (x, y) is the device pixel (2x + 1, 2y + 1).
probe "$shot" "window face" 17 17 "$COLOUR_clBtnFace" 2
probe "$shot" "edit interior" 801 73 "$COLOUR_clWindow" 2
probe "$shot" "bar fill" 101 841 134,194,217 0
probe "$shot" "bar bevel top" 601 805 "$COLOUR_clBtnHighlight" 0
probe "$shot" "bar bevel bottom" 601 885 "$COLOUR_clBtnShadow" 0
probe "$shot" "copy button body" 337 863 "$(over 0,128,255 127 134,194,217)" 4
probe "$shot" "exit button body" 1041 863 "$(over 0,128,192 127 134,194,217)" 4
probe "$shot" "panel body middle" 113 613 199,216,237 5
# The check box glyph is laid out at 12 logical pixels, not rescaled by the program:
# the tick lies inside device columns 204..227, the two columns after it are bare.
tick=$(darkest "$shot" 204 184 24 24)
echo "   darkest of the checked glyph: $tick"
[ "$(luma "${tick%% *}")" -lt 130 ] || fail "no tick in the glyph ($tick)"
gap=$(darkest "$shot" 228 184 4 24)
echo "   darkest right of the glyph: $gap"
near "${gap%% *}" "$COLOUR_clBtnFace" 2 || fail "the glyph reaches beyond 12 logical pixels ($gap)"
# Drawn at the device's density, not a 13 x 13 bitmap enlarged: of the aligned 2 x 2
# device blocks that hold tick ink (differ from the unchecked chkSepBlank glyph), most
# hold more than one colour. An enlarged bitmap has none such.
blocks=$( { area_pixels "$shot" 204 184 24 24 | sed 's/^/c /'; area_pixels "$shot" 204 288 24 24 | sed 's/^/u /'; } |
    awk '$1 == "u" { u[$2 - 204, $3 - 288] = $4 "," $5 "," $6; next }
         { c[$2 - 204, $3 - 184] = $4 "," $5 "," $6 }
         function d(a, b,   A, B, i, m, x) { split(a, A, ","); split(b, B, ","); m = 0
             for (i = 1; i <= 3; i++) { x = A[i] - B[i]; if (x < 0) x = -x; if (x > m) m = x } return m }
         END { for (by = 0; by < 24; by += 2) for (bx = 0; bx < 24; bx += 2) {
                   ink = 0; spread = 0
                   for (j = 0; j < 2; j++) for (i = 0; i < 2; i++) {
                       if (d(c[bx + i, by + j], u[bx + i, by + j]) > 8) ink = 1
                       s = d(c[bx + i, by + j], c[bx, by]); if (s > spread) spread = s }
                   touched += ink; if (ink && spread > 2) mixed++ }
               print mixed + 0, touched + 0 }')
echo "   tick blocks with more than one colour: ${blocks% *} of ${blocks#* }"
[ "${blocks#* }" -ge 20 ] && [ $(( ${blocks% *} * 2 )) -ge "${blocks#* }" ] || fail "the tick is an enlarged bitmap ($blocks)"

# click_scaled <control>: a click at the device pixel of the control's logical centre.
click_scaled() {
    local p
    p=($(control_point "$1"))
    click_at $(( 2 * p[0] + 1 )) $(( 2 * p[1] + 1 ))
}
xdotool type --delay 30 --window "$WIN" "Ab1"
click_scaled btnCopy
wait_clipboard 'Ab1\r\n大文字:エー、小文字:ビー、数字:イチ' "copy of Ab1"

move_window "$WIN" 300 200
click_scaled btnEnd
wait_exit
expect_stored "$INI" 100 150 11000
start_app
window_geometry
[ "$WX,$WY" = "300,200" ] || fail "second start at $WX,$WY, expected 300,200"
click_scaled btnEnd
wait_exit
echo "PASS: tst_scale"
