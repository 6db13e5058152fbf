#!/bin/bash
# Settings-file links as the kernel's fs.protected_symlinks would follow them, whatever the
# machine's setting, with the real program run by an ordinary user (nobody) and a second
# user (uid 65533) as the attacker:
#  1. the attacker plants Kanavox.ini -> the victim's mode-600 notes in a shared sticky
#     folder (mode 1777) that holds the program: start-up and exit show the error box, the
#     notes and the folder stay as they were;
#  2. the victim's own link in that folder is followed: the file it points to is saved;
#  3. a dangling link into a folder of the attacker's is not followed: the exit shows the
#     error box and nothing is created there.
# Needs root for the two users; elsewhere it is skipped (exit 77).
# Usage: fault_links.sh <kanavox>
source "$(dirname "$0")/../realwindow/xvfb.sh"
[ "$(id -u)" = 0 ] || { echo "SKIP: acting as two users needs root"; exit 77; }
start_xvfb
install_copy "$1"
chmod 755 "$WORK"
ordinary_user "$WORK/home" # the victim: RUN_AS runs as nobody
ATTACKER=(setpriv --reuid=65533 --regid=65533 --clear-groups --)

# start_with_box <dir>: starts the copy in <dir> as the victim, answers the box that the
# start-up shows, and waits for the main window.
start_with_box() {
    ( cd "$1" && exec "${RUN_AS[@]}" ./kanavox ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    local box
    box=$(wait_error_box)
    close_error_box "$box"
    wait_main_window
    focus_window "$WIN"
}

shared="$WORK/shared"
victim="$WORK/victim"
mkdir -m 1777 "$shared"
mkdir -m 700 "$victim"
chown nobody:nogroup "$victim"
cp "$WORK/kanavox" "$shared/kanavox"
printf 'my notes\n' >"$victim/notes"
chown nobody:nogroup "$victim/notes"
chmod 600 "$victim/notes"
cp -p "$victim/notes" "$WORK/notes.before"

note "1. a link planted by another user in a sticky folder"
"${ATTACKER[@]}" ln -s "$victim/notes" "$shared/Kanavox.ini"
echo "   $(stat -c '%A %U' "$shared") $shared; link by uid $(stat -c %u "$shared/Kanavox.ini"); fs.protected_symlinks=$(cat /proc/sys/fs/protected_symlinks)"
listing=$(ls -A "$shared")
start_with_box "$shared"
click_control btnEnd
box=$(wait_error_box)
close_error_box "$box"
[ -n "$(window_named "$MAIN_WINDOW_NAME")" ] || fail "the main window closed"
cmp -s "$victim/notes" "$WORK/notes.before" || fail "the victim's notes changed: $(cat -A "$victim/notes" | head -3)"
[ "$(ls -A "$shared")" = "$listing" ] || fail "the shared folder changed: $(ls -A "$shared")"
[ "$(ls -A "$victim")" = notes ] || fail "the victim's folder changed: $(ls -A "$victim")"
[ -L "$shared/Kanavox.ini" ] || fail "the link was replaced"
echo "   refused: error boxes at start and exit, notes and both folders unchanged"
stop_app

note "2. the victim's own link in that folder is followed"
rm "$shared/Kanavox.ini"
printf '[Other]\r\nx=1\r\n' >"$victim/kv.ini"
chown nobody:nogroup "$victim/kv.ini"
"${RUN_AS[@]}" ln -s "$victim/kv.ini" "$shared/Kanavox.ini"
start_program "${RUN_AS[@]}" ./shared/kanavox
click_control btnEnd
wait_exit
grep -aq '^MojiSyu=' "$victim/kv.ini" || fail "the own link's target was not saved: $(cat -A "$victim/kv.ini")"
grep -aq '^x=1' "$victim/kv.ini" || fail "the target lost its own lines"
[ -L "$shared/Kanavox.ini" ] || fail "the link was replaced"
echo "   saved into $(basename "$(readlink "$shared/Kanavox.ini")"), the link stays"

note "3. a dangling link into another user's folder"
app="$WORK/app"
theirs="$WORK/theirs"
mkdir -m 755 "$app"
mkdir -m 777 "$theirs"
chown nobody:nogroup "$app"
chown 65533:65533 "$theirs"
cp "$WORK/kanavox" "$app/kanavox"
ln -s "$theirs/Kanavox.ini" "$app/Kanavox.ini"
chown -h nobody:nogroup "$app/Kanavox.ini"
start_program "${RUN_AS[@]}" ./app/kanavox
click_control btnEnd
box=$(wait_error_box)
close_error_box "$box"
[ -z "$(ls -A "$theirs")" ] || fail "a file was created in the other user's folder: $(ls -lA "$theirs")"
[ "$(ls -A "$app")" = "Kanavox.ini
kanavox" ] || fail "the program's folder changed: $(ls -A "$app")"
echo "   refused: error box at exit, nothing created in the folder of uid $(stat -c %u "$theirs")"
stop_app
echo "PASS: fault_links"
