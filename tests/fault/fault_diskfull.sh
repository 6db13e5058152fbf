#!/bin/bash
# The disk fills during the save: the real program runs under a file size limit, with
# the limit's signal ignored as a shell's "ulimit -f" child has it (the soft limit only,
# so that it can be lifted again from outside). The exit button then
# shows the error box, the old file stays byte-identical, no temporary stays behind and
# the window stays open; once the limit is lifted the next exit saves.
# Usage: fault_diskfull.sh <kanavox>
source "$(dirname "$0")/../realwindow/xvfb.sh"
start_xvfb
install_copy "$1"

{
    printf '[Other]\r\nlong='
    head -c 8000 /dev/zero | tr '\0' x
    printf '\r\n\r\n[Position]\r\nMainTop=20\r\nMainLeft=30\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=1\r\nNum=0\r\nKigou=0\r\n\r\n'
} >"$INI"
cp "$INI" "$WORK/old.ini"

( cd "$WORK" && trap '' XFSZ && ulimit -S -f 4 && exec ./kanavox ) >"$WORK/app.log" 2>&1 &
APP_PID=$!
wait_main_window
focus_window "$WIN"
grep -q 'Max file size *4096 ' "/proc/$APP_PID/limits" || fail "the limit is not in force: $(grep 'file size' /proc/$APP_PID/limits)"

note "exit with a full disk"
xdotool type --delay 30 --window "$WIN" "ab"
click_control btnEnd
box=$(wait_error_box)
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
[ -n "$(window_named "$MAIN_WINDOW_NAME")" ] || fail "the main window is gone"
cmp -s "$INI" "$WORK/old.ini" || fail "the old file changed"
leftover=$(find "$WORK" -maxdepth 1 -name '.Kanavox.ini.tmp*')
[ -z "$leftover" ] || fail "temporary left behind: $leftover"
close_error_box "$box"

note "room again: the next exit saves"
prlimit --pid "$APP_PID" --fsize=unlimited
click_control btnEnd
wait_exit
tail -c 200 "$INI" | grep -q 'SepBlank=1' || fail "settings not saved: $(tail -c 200 "$INI" | cat -A)"
head -c 9 "$INI" | grep -q '\[Other\]' || fail "the other section was lost"
echo "PASS: fault_diskfull"
