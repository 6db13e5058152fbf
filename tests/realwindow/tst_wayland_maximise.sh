#!/bin/bash
# Native Wayland (weston's headless backend), where Qt draws its own title bar and offers
# a maximise button on every window: the fixed-size window tells the compositor that its
# smallest and largest sizes are one, and when it is maximised all the same (the button,
# a double click on the title bar, or a compositor asked to), it asks at once to be
# unmaximised, so that it does not stay in the screen's corner. The settings file stays
# byte-identical, as on every native Wayland close.
# Usage: tst_wayland_maximise.sh <kanavox>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

WORK=$(mktemp -d /tmp/kanavox-wlmax.XXXXXX)
cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "${PROXY_PID:-}" ] && kill "$PROXY_PID" 2>/dev/null || true
    [ -n "${WESTON_PID:-}" ] && kill "$WESTON_PID" 2>/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
cp "$1" "$WORK/kanavox"
INI="$WORK/Kanavox.ini"
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME

# wait_for <pattern> <what>: polls the relay's log for a line, with a deadline of 10 s.
wait_for() {
    for _ in $(seq 1 200); do
        grep -q "$1" "$WORK/proxy.log" && return 0
        kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended before $2"; }
        sleep 0.05
    done
    cat "$WORK/proxy.log" >&2
    fail "no $2"
}

weston --backend=headless-backend.so --socket=wayland-kvm --idle-time=0 >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/wayland-kvm" ] && break
    sleep 0.05
done
[ -S "$XDG_RUNTIME_DIR/wayland-kvm" ] || { cat "$WORK/weston.log" >&2; fail "weston did not start"; }
python3 "$here/wl_close_proxy.py" "$XDG_RUNTIME_DIR/wayland-kvmp" "$XDG_RUNTIME_DIR/wayland-kvm" >"$WORK/proxy.log" 2>&1 &
PROXY_PID=$!
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/wayland-kvmp" ] && break
    sleep 0.05
done
printf '[Position]\r\nMainTop=201\r\nMainLeft=133\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n' >"$INI"
cp "$INI" "$WORK/before.ini"
( cd "$WORK" && WAYLAND_DISPLAY=wayland-kvmp exec ./kanavox ) >"$WORK/app.log" 2>&1 &
APP_PID=$!

note "size limits"
wait_for '^set_max_size' "size limits"
min=$(grep '^set_min_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
max=$(grep '^set_max_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
echo "   smallest $min, largest $max"
[ -n "$min" ] && [ "$min" = "$max" ] && [ "$min" != "0 0" ] || fail "the sizes are not fixed: smallest $min, largest $max"
grep -q '^set_maximized' "$WORK/proxy.log" && fail "the program asked to be maximised by itself"

note "maximised by the compositor"
# Once the window has taken weston's first configure: it is then a shown window.
wait_for '^ack_configure' "answer to weston's first configure"
kill -USR2 "$PROXY_PID"
wait_for '^maximise sent' "maximise from the relay"
wait_for '^unset_maximized' "request to be unmaximised"
echo "   $(grep -E '^(maximise sent|ack of|unset_maximized)' "$WORK/proxy.log" | tr '\n' ';')"

note "closed by the compositor"
kill -USR1 "$PROXY_PID"
for _ in $(seq 1 200); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$APP_PID" 2>/dev/null && fail "the close request did not close the window"
rc=0
wait "$APP_PID" || rc=$?
APP_PID=
[ "$rc" = 0 ] || { cat "$WORK/app.log" >&2; fail "exit code $rc"; }
cmp -s "$INI" "$WORK/before.ini" || fail "the settings file changed: $(cat -A "$INI")"
echo "   exit code 0, settings file byte-identical"
echo "PASS: tst_wayland_maximise"
