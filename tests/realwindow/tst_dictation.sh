#!/bin/bash
# The dictation view in a real X server: Ctrl+L after typing opens it under its title
# with large glyphs, Esc closes it, the result panel's menu opens it again and it follows
# a paste; the main window looks as before and writes the same first settings file.
# Usage: tst_dictation.sh <kanavox>
# With KANAVOX_SCREENSHOT=<file> the view of a mixed 16-character password is saved there
# (README picture).
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
TITLE='^Kanavox 大きく表示$'

# ink_height <file> <x> <y> <w> <h>: rows of the rectangle holding near-black pixels (the
# glyphs are the only near-black marks of the view; anti-aliased edges are left out).
ink_height() {
    area_pixels "$@" | awk '299 * $3 + 587 * $4 + 114 * $5 < 40000 { if (!n++ || $2 < top) top = $2; if ($2 > bot) bot = $2 }
        END { print n ? bot - top + 1 : 0 }'
}

wait_view_gone() {
    wait_window_gone "$TITLE" "the dictation view did not close"
}
# glyph_in <file> <x>: true when the cell at x holds a glyph at least 48 px high.
glyph_in() {
    [ "$(ink_height "$1" "$2" 16 96 170)" -ge 48 ]
}
# empty_cell <file> <x>: true when the cell at x holds no glyph.
empty_cell() {
    [ "$(ink_height "$1" "$2" 16 80 170)" = 0 ]
}

start_app
xdotool type --delay 30 --window "$WIN" "Ab1x"
# The reading shown and the window done with the keys (below the edit, whose caret blinks).
before="$WORK/main-before.png"
wait_still "$before" "$WIN" 664x390+0+50
has_ink "$before" 36 259 500 16 60 || fail "the reading of Ab1x is not shown"

note "Ctrl+L opens the view"
xdotool key ctrl+l
VIEW=$(wait_window "$TITLE" "no window titled 'Kanavox 大きく表示'")
[ "$(xdotool getwindowname "$VIEW")" = "Kanavox 大きく表示" ] || fail "title: $(xdotool getwindowname "$VIEW")"
shot="$WORK/view.png"
wait_shot_of "$VIEW" "$shot" "the view shows no glyph in its first cell" glyph_in "$shot" 16
size=$(identify -format '%w %h' "$shot")
echo "   view size: $size"
read -r vw vh <<<"$size"
[ "$vw" -le 1280 ] && [ "$vh" -le 1024 ] || fail "view larger than the screen: $size"
# First cell at the margin; its glyph "A" and the next cell's "b" stand at least 48 px.
for cell in "A 16" "b 118"; do
    set -- $cell
    h=$(ink_height "$shot" "$2" 16 96 170)
    echo "   ink height of $1: $h px"
    [ "$h" -ge 48 ] || fail "glyph $1 is $h px high, expected >= 48"
done

note "it follows the password: Backspace in the main window empties the fourth cell"
x4=$((16 + 3 * (vw - 32 + 6) / 4))
h=$(ink_height "$shot" "$x4" 16 80 170)
[ "$h" -ge 30 ] || fail "no glyph x in the fourth cell ($h px)"
focus_window "$WIN"
# The edit selects its whole text when it gets the focus back: End keeps the first three.
xdotool key End BackSpace
poll _shot_of_and_check "$VIEW" "$WORK/view-3.png" empty_cell "$WORK/view-3.png" "$x4" || true
h=$(ink_height "$WORK/view-3.png" "$x4" 16 80 170)
echo "   ink in the fourth cell after Backspace: $h px"
[ "$h" = 0 ] || fail "the fourth cell still shows a glyph"
h=$(ink_height "$WORK/view-3.png" 16 16 96 170)
[ "$h" -ge 48 ] || fail "the first cell lost its glyph: more than one character went"
xdotool type --delay 30 --window "$WIN" "x"

note "Esc closes it"
focus_window "$VIEW"
xdotool key Escape
wait_view_gone
kill -0 "$APP_PID" || fail "Esc ended the program"

note "a pasted password, then right-click on the result panel and L"
set_clipboard 'Ka9v O0lI@#x7/Qb'
focus_window "$WIN"
xdotool key ctrl+v
xdotool mousemove --window "$WIN" $(control_point AdvSmoothPanel1 320 13) click 3
# The menu is a window of its own: the key goes to it once it is shown.
wait_new_window "$WIN" "$VIEW" >/dev/null
xdotool key l
VIEW=$(wait_window "$TITLE" "the menu entry did not open the view")
wait_shot_of "$VIEW" "$WORK/mixed.png" "the view of the paste shows no glyph in its first cell" glyph_in "$WORK/mixed.png" 16
read -r mw mh <<<"$(identify -format '%w %h' "$WORK/mixed.png")"
echo "   view of the 16-character paste: $mw x $mh"
[ "$mh" -gt "$vh" ] || fail "the view did not open taller for 16 characters ($vh -> $mh)"
# The fifth cell is the blank: a dashed red border instead of an ordinary cell.
red=$(area_pixels "$WORK/mixed.png" 0 0 "$mw" "$mh" | awk '$3 > 150 && $4 < 40 && $5 < 60 { n++ } END { print n + 0 }')
echo "   red pixels (cell without a reading): $red"
[ "$red" -gt 100 ] || fail "no marked cell for the blank"
[ -n "${KANAVOX_SCREENSHOT:-}" ] && cp "$WORK/mixed.png" "$KANAVOX_SCREENSHOT"
focus_window "$VIEW"
xdotool key ctrl+w
wait_view_gone

note "the main window looks as before"
# The edit's caret blinks: outside the edit nothing may differ, inside it a caret's worth.
# outside_edit_diff <a> <b>: the number of pixels that differ outside the edit.
outside_edit_diff() {
    local f
    for f in "$1" "$2"; do convert "$f" -fill gray -draw "rectangle 102,24 620,47" "${f%.png}-masked.png"; done
    compare -metric AE -fuzz 1% "${1%.png}-masked.png" "${2%.png}-masked.png" null: 2>&1 || true
}
same_outside_edit() { [ "$(outside_edit_diff "$1" "$2")" = 0 ]; }
focus_window "$WIN"
xdotool key ctrl+a BackSpace
xdotool type --delay 30 --window "$WIN" "Ab1x"
# Until the window shows the same reading again; a lasting change fails at the deadline.
after="$WORK/main-after.png"
poll _shot_and_check "$after" same_outside_edit "$before" "$after" || true
diff=$(outside_edit_diff "$before" "$after")
caret=$(compare -metric AE -fuzz 1% "$before" "$after" null: 2>&1 || true)
echo "   pixels differing from before the view: $diff outside the edit, $caret in all"
[ "$diff" = 0 ] || fail "the main window changed: $diff pixels differ outside the edit"
[ "$caret" -le 24 ] || fail "the edit changed: $caret pixels differ"

note "the view closes with the main window; the settings file is the first-save file"
xdotool key ctrl+l
wait_window "$TITLE" "view did not open" >/dev/null
# The view may stand over the exit button: reach it with Tab and press it with Space.
focus_window "$WIN"
xdotool key Tab space
wait_exit
expect_stored "$INI" 0 0 11000
[ "$(ls "$WORK" | grep -v '\.png$' | tr '\n' ' ')" = "Kanavox.ini app.log kanavox " ] ||
    fail "unexpected files: $(ls "$WORK" | tr '\n' ' ')"
echo "PASS: tst_dictation"
