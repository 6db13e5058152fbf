#!/bin/bash
# A full disk under the in-place rewrite: the program lives on a small tmpfs in a folder
# its ordinary user may not write, so the close rewrites the writable Kanavox.ini in place;
# the disk has no page left and the new text (the window's position added) needs one more. The exit button then shows
# the error box and the file stays byte-identical (a hand-written value included); once
# there is room again the next exit saves, and the hand-written lines are still there.
# Needs root (mount, and a second user); elsewhere it is skipped (exit 77).
# Usage: fault_inplace_full.sh <kanavox>
source "$(dirname "$0")/../realwindow/xvfb.sh"
[ "$(id -u)" = 0 ] || { echo "SKIP: mounting a tmpfs needs root"; exit 77; }
start_xvfb
install_copy "$1"
chmod 755 "$WORK"
DISK="$WORK/disk"
mkdir "$DISK"
# Room for the program and a little more, which is then filled.
size_k=$(( $(stat -c %s "$WORK/kanavox") / 1024 + 256 ))
mount -t tmpfs -o "size=${size_k}k,mode=755" kanavox-full "$DISK" || { echo "SKIP: no tmpfs can be mounted here"; exit 77; }
trap 'umount "$DISK" 2>/dev/null || umount -l "$DISK"; cleanup' EXIT
mv "$WORK/kanavox" "$DISK/kanavox"
INI="$DISK/Kanavox.ini"
ordinary_user "$WORK/home"
# Exactly one page, so that the longer new text needs a second one.
{
    printf '; written by hand\r\n[Other]\r\nkeep=123456789\r\npad='
    head -c 3996 /dev/zero | tr '\0' p
    printf '\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n'
} >"$INI"
truncate -s 4096 "$INI"
printf '\r\n' | dd of="$INI" bs=1 seek=4094 conv=notrunc status=none
chown nobody:nogroup "$INI"
cp "$INI" "$WORK/old.ini"
chmod 555 "$DISK"
# Fill every page that is left.
dd if=/dev/zero of="$DISK/fill" bs=4096 status=none 2>/dev/null || true
echo "   free on the disk: $(df --output=avail -B1 "$DISK" | tail -1) bytes; the file: $(stat -c %s "$INI") bytes"

start_program "${RUN_AS[@]}" ./disk/kanavox
note "exit with a full disk"
click_control btnEnd
box=$(wait_error_box)
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
if ! cmp -s "$INI" "$WORK/old.ini"; then
    echo "   now: $(stat -c %s "$INI") bytes; keep line: $(grep -a '^keep=' "$INI" | tr -d '\r')"
    fail "the file changed although the save failed"
fi
echo "   the file is byte-identical after the failed save"
close_error_box "$box"

note "room again: the next exit saves"
rm -f "$DISK/fill"
click_control btnEnd
wait_exit
grep -aq '^MainTop=' "$INI" || fail "settings not saved: $(cat -A "$INI" | tail -5)"
grep -aq '^keep=123456789' "$INI" || fail "the hand-written value is gone"
head -c 18 "$INI" | grep -q '; written by hand' || fail "the comment is gone"
echo "PASS: fault_inplace_full"
