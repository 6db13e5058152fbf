#!/bin/bash
# Native Wayland under GNOME's mutter, where Qt draws its own title bar and offers a
# maximise button on every window: the fixed-size window tells the compositor that its
# smallest and largest sizes are one; when the button's request reaches mutter all the
# same (sent here by the relay, as a click on the button sends it), mutter maximises the
# window, and it asks at once to be unmaximised, so that it does not stay in the screen's
# corner. The settings file stays byte-identical, as on every native Wayland close.
# Exit code 77 (skipped) without mutter.
# Usage: tst_wayland_maximise.sh <kanavox>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb.sh" # the waits; no X server is started

wayland_copy "$1"

# wait_for <pattern> <what>: waits for a line in the relay's log.
wait_for() {
    poll _relay_logged "$1" "$2" || { cat "$WORK/proxy.log" >&2; fail "no $2 (waited $WAIT_SECONDS s)"; }
}
_relay_logged() {
    grep -q "$1" "$WORK/proxy.log" && return 0
    kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended before $2"; }
    return 1
}

# wait_socket <name>: the compositor's socket appears.
wait_socket() {
    poll _socket_or_gone "$1" && [ -S "$XDG_RUNTIME_DIR/$1" ] && return 0
    cat "$WORK/compositor.log" >&2
    fail "the compositor did not start"
}
_socket_or_gone() { [ -S "$XDG_RUNTIME_DIR/$1" ] || ! kill -0 "$COMPOSITOR_PID" 2>/dev/null; }

# _unmaximised_after_request: a configure without the maximised state follows the request.
_unmaximised_after_request() {
    [ -n "$(sed -n '/^unset_maximized/,$p' "$WORK/proxy.log" | grep '^configure' | grep -v maximized)" ]
}

# maximise_refused <label> <compositor socket>
maximise_refused() {
    rm -f "$XDG_RUNTIME_DIR/kv-relay"
    python3 "$here/wl_close_proxy.py" "$XDG_RUNTIME_DIR/kv-relay" "$XDG_RUNTIME_DIR/$2" >"$WORK/proxy.log" 2>&1 &
    PROXY_PID=$!
    wait_until "the relay did not open its socket" test -S "$XDG_RUNTIME_DIR/kv-relay"
    printf '[Position]\r\nMainTop=201\r\nMainLeft=133\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n' >"$INI"
    cp "$INI" "$WORK/before.ini"
    ( cd "$WORK" && WAYLAND_DISPLAY=kv-relay exec ./kanavox ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!

    wait_for '^set_max_size' "size limits"
    local min max
    min=$(grep '^set_min_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
    max=$(grep '^set_max_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
    echo "   $1: smallest size $min, largest $max"
    [ -n "$min" ] && [ "$min" = "$max" ] && [ "$min" != "0 0" ] || fail "$1: the sizes are not fixed: smallest $min, largest $max"
    # Once the window has taken the compositor's first configure: it is then shown.
    wait_for '^ack_configure' "answer to the first configure"
    grep -q '^set_maximized' "$WORK/proxy.log" && fail "$1: the program asked to be maximised by itself"

    kill -USR2 "$PROXY_PID"
    wait_for '^configure .*maximized' "maximised configure from the compositor"
    wait_for '^unset_maximized' "request to be unmaximised"
    poll _unmaximised_after_request || true
    echo "   $1: $(grep -E '^(set_maximized|configure|unset_maximized)' "$WORK/proxy.log" | tail -4 | tr '\n' ';')"
    [ "$(grep '^configure' "$WORK/proxy.log" | tail -1 | grep -c maximized)" = 0 ] || fail "$1: the window stays maximised"

    kill -USR1 "$PROXY_PID"
    poll _app_ended || fail "$1: the close request did not close the window"
    local rc=0
    wait "$APP_PID" || rc=$?
    APP_PID=
    wait "$PROXY_PID" 2>/dev/null || true
    PROXY_PID=
    [ "$rc" = 0 ] || { cat "$WORK/app.log" >&2; fail "$1: exit code $rc"; }
    cmp -s "$INI" "$WORK/before.ini" || fail "$1: the settings file changed: $(cat -A "$INI")"
    echo "   $1: exit code 0, settings file byte-identical"
}

note "mutter (headless, as GNOME runs it)"
# weston is no witness here: it ends any client whose maximised window keeps its size
# (a protocol error), so Qt's button is fatal there whatever the program does.
command -v mutter >/dev/null && command -v dbus-run-session >/dev/null || { echo "SKIP: mutter is not installed"; exit 77; }
# A session bus of its own, ended with mutter; mutter's id is what the cleanup ends.
dbus-run-session -- sh -c 'mutter --wayland --headless --no-x11 --virtual-monitor 1280x1024 \
    --wayland-display wayland-kvmu & echo $! >"$1"; wait' sh "$WORK/mutter.pid" >"$WORK/compositor.log" 2>&1 &
wait_until "mutter was not started" test -s "$WORK/mutter.pid"
COMPOSITOR_PID=$(cat "$WORK/mutter.pid")
wait_socket wayland-kvmu
maximise_refused mutter wayland-kvmu
echo "PASS: tst_wayland_maximise"
