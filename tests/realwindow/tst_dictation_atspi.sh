#!/bin/bash
# What a screen reader hears of the dictation view over AT-SPI: each Right key selects the
# next cell with a "selected" state change, and the cell it lands on is a focused, selected
# list item named "7文字目 小文字:エックス".
# Usage: tst_dictation_atspi.sh <kanavox>
source "$(dirname "$0")/xvfb.sh"
a11y_session "$0" "$@"
start_xvfb
install_copy "$1"

A11Y=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress |
    sed "s/^('\(.*\)',)$/\1/")
[ -n "$A11Y" ] || fail "no accessibility bus"
dbus-monitor --address "$A11Y" "type='signal',interface='org.a11y.atspi.Event.Object',member='StateChanged'" \
    >"$WORK/events.txt" 2>/dev/null &
XCLIP_PID=$! # stopped on exit with the rest

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_app
xdotool type --delay 30 --window "$WIN" "Kanavox1"
xdotool key ctrl+l
VIEW=$(wait_window '^Kanavox 大きく表示$' "the view did not open")
wait_focus "$VIEW" "the view did not take the focus"
# Opening selects the first cell; the keys' changes are those after it.
selected='string "selected"'
wait_lines "$WORK/events.txt" "$selected" 1 "no cell was selected when the view opened"
opened=$(count_lines "$WORK/events.txt" '^signal')
for n in 2 3 4 5 6 7; do
    xdotool key Right
    wait_lines "$WORK/events.txt" "$selected" "$n" "no selection change after Right key $((n - 1))"
done

# One "selected" change per key, each on another cell.
moves=$(awk -v skip="$opened" '/^signal/ { n++; if (n > skip) { sub(/.*path=/, ""); sub(/;.*/, ""); path = $0; want = 1 } next }
    want && /string "selected"/ { print path; want = 0 }' "$WORK/events.txt")
echo "   selected: $(echo "$moves" | tr '\n' ' ')"
[ "$(echo "$moves" | sort -u | grep -c .)" = 6 ] || fail "expected 6 cells selected in turn, got: $moves"
cell=$(echo "$moves" | tail -1)
app=$(grep -m1 '^signal.*StateChanged' "$WORK/events.txt" | sed 's/.*sender=\([^ ]*\) .*/\1/')
ask() { gdbus call --address "$A11Y" --dest "$app" --object-path "$cell" --method "$@"; }
name=$(ask org.freedesktop.DBus.Properties.Get org.a11y.atspi.Accessible Name)
role=$(ask org.a11y.atspi.Accessible.GetRoleName)
state=$(ask org.a11y.atspi.Accessible.GetState | sed 's/^(\[uint32 \([0-9]*\),.*/\1/')
echo "   cell $cell: $name $role state $state"
[ "$name" = "(<'7文字目 小文字:エックス'>,)" ] || fail "name: $name"
[ "$role" = "('list item',)" ] || fail "role: $role"
# AT-SPI state bits: 12 focused, 23 selected.
(( (state >> 12) & 1 )) || fail "the highlighted cell is not focused (state $state)"
(( (state >> 23) & 1 )) || fail "the highlighted cell is not selected (state $state)"
xdotool key Escape
echo "PASS: tst_dictation_atspi"
