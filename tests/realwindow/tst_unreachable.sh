#!/bin/bash
# A display that is named but does not answer: the program says so in one line naming it
# and exits with 1, where Qt would abort (exit code 134) with a message about reinstalling.
# Usage: tst_unreachable.sh <kanavox>
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

WORK=$(mktemp -d /tmp/kanavox-unreach.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cp "$1" "$WORK/kanavox"
mkdir -m 700 "$WORK/run"
# A compositor that ended leaves its socket file behind: bound once, nobody listening.
python3 -c 'import socket, sys; s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.close()' "$WORK/run/wayland-gone"
[ -S "$WORK/run/wayland-gone" ] || fail "no stale socket could be made"

# silent_display <n>: the first display number from n up that no X server holds.
silent_display() {
    local n=$1
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null; do
        n=$((n + 1))
    done
    echo "$n"
}

# expect_refusal <label> <display named in the line> <env assignments...>
expect_refusal() {
    local label=$1 named=$2
    shift 2
    local rc=0
    ( cd "$WORK" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM \
        XDG_RUNTIME_DIR="$WORK/run" "$@" ./kanavox ) >"$WORK/out.log" 2>"$WORK/err.log" || rc=$?
    echo "   $label: exit code $rc, stderr: $(cat "$WORK/err.log")"
    [ "$rc" = 1 ] || fail "$label: exit code $rc (134 is Qt's abort)"
    [ "$(wc -l <"$WORK/err.log")" = 1 ] || fail "$label: not one line: $(cat "$WORK/err.log")"
    grep -qF "\"$named\"" "$WORK/err.log" || fail "$label: the line does not name $named"
    [ ! -s "$WORK/out.log" ] || fail "$label: output on stdout: $(cat "$WORK/out.log")"
}

n=$(silent_display 77)
note "an X display with no server"
expect_refusal "DISPLAY=:$n" ":$n" DISPLAY=":$n"
note "a Wayland socket whose compositor is gone, DISPLAY unset"
expect_refusal "WAYLAND_DISPLAY=wayland-gone" "wayland-gone" WAYLAND_DISPLAY=wayland-gone
note "a Wayland socket that is not there, DISPLAY unset"
expect_refusal "WAYLAND_DISPLAY=wayland-77" "wayland-77" WAYLAND_DISPLAY=wayland-77
note "both named, neither answers"
expect_refusal "DISPLAY=:$n WAYLAND_DISPLAY=wayland-gone" "wayland-gone" DISPLAY=":$n" WAYLAND_DISPLAY=wayland-gone
note "the platform asked for by name, its display silent"
expect_refusal "QT_QPA_PLATFORM=xcb DISPLAY=:$n" ":$n" QT_QPA_PLATFORM=xcb DISPLAY=":$n"
echo "PASS: tst_unreachable"
