#!/bin/bash
# A writable Kanavox.ini in a program folder the user may not write: no temporary file can
# be made beside it, so the close rewrites the file in place (same inode, nothing else
# created, no error box) and the window closes; the user's own folder stays unused.
# Run by an ordinary user (root drops to nobody).
# Usage: fault_inplace.sh <kanavox>
source "$(dirname "$0")/../realwindow/xvfb.sh"
start_xvfb
install_copy "$1"
chmod 755 "$WORK"
touch "$WORK/app.log"
ordinary_user "$WORK/home"
printf '[Other]\r\nx=1\r\n\r\n[Position]\r\nMainTop=0\r\nMainLeft=0\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n' >"$INI"
if [ "$(id -u)" = 0 ]; then chown nobody:nogroup "$INI"; else chmod 555 "$WORK"; fi
trap 'chmod 755 "$WORK"; cleanup' EXIT
inode=$(stat -c %i "$INI")
before=$(ls -A "$WORK")

start_program "${RUN_AS[@]}" ./kanavox
click_control chkSepBlank 58 10   # on
click_control btnEnd
wait_exit
[ -z "$(window_named '^Kanavox$')" ] || fail "an error box is open"
expect_file "$INI" '[Other]\r\nx=1\r\n\r\n[Position]\r\nMainTop=0\r\nMainLeft=0\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=1\r\nNum=0\r\nKigou=0\r\n\r\n'
echo "   inode $inode -> $(stat -c %i "$INI"), owner $(stat -c %U "$INI")"
[ "$(stat -c %i "$INI")" = "$inode" ] || fail "the file was replaced, not rewritten"
[ "$(ls -A "$WORK")" = "$before" ] || fail "the folder changed: $(ls -A "$WORK")"
[ ! -e "$WORK/home/.config/Kanavox" ] || fail "the user's folder was used"
echo "PASS: fault_inplace"
