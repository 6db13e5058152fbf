#!/bin/bash
# Native Wayland, where Qt draws its own title bar and offers a maximise button on every
# window. A click on it (weston and mutter, each nested in an X server, with a real pointer):
# the compositor configures the fixed-size window maximised, the window takes that size for
# a frame as the protocol wants (weston ends a client whose maximised window keeps another
# size), asks at once to be unmaximised and comes back at its own size with its size fixed
# again. A double click on the title bar moves the window and asks for nothing. Under
# headless mutter the relay itself sends the request a click sends, with Qt unaware of it:
# mutter maximises the window, and it asks at once to be unmaximised. The settings file
# stays byte-identical, as on every native Wayland close. A compositor that cannot run
# here skips its row; exit code 77 (skipped) when none can.
# Usage: tst_wayland_maximise.sh <kanavox>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb.sh" # the waits, and the X server the nested compositors run in

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

_socket_or_gone() { [ -S "$XDG_RUNTIME_DIR/$1" ] || ! kill -0 "$COMPOSITOR_PID" 2>/dev/null; }

# start_relayed <label> <compositor socket>: the program through the relay, its settings
# written; returns once its size limits and its first configure's answer are seen.
start_relayed() {
    rm -f "$XDG_RUNTIME_DIR/kv-relay"
    python3 "$here/wl_close_proxy.py" "$XDG_RUNTIME_DIR/kv-relay" "$XDG_RUNTIME_DIR/$2" >"$WORK/proxy.log" 2>&1 &
    PROXY_PID=$!
    wait_until "the relay did not open its socket" test -S "$XDG_RUNTIME_DIR/kv-relay"
    stored 201 133 11000 >"$INI"
    cp "$INI" "$WORK/before.ini"
    ( cd "$WORK" && unset DISPLAY && WAYLAND_DISPLAY=kv-relay exec ./kanavox ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!

    wait_for '^set_max_size' "size limits"
    local min max
    min=$(grep '^set_min_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
    max=$(grep '^set_max_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
    echo "   $1: smallest size $min, largest $max"
    [ -n "$min" ] && [ "$min" = "$max" ] && [ "$min" != "0 0" ] || fail "$1: the sizes are not fixed: smallest $min, largest $max"
    FIXED=$max
    # Once the window has taken the compositor's first configure: it is then shown.
    wait_for '^ack_configure' "answer to the first configure"
}

# close_relayed <label>: the compositor's close request; the program ends with 0 and
# leaves the settings file as it was.
close_relayed() {
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

# since <line>: the relay's log after its first <line> lines.
since() { tail -n +"$(($1 + 1))" "$WORK/proxy.log"; }
logged_lines() { wc -l <"$WORK/proxy.log"; }

# wait_since <line> <pattern> <what>: waits for the pattern past that line of the log.
wait_since() {
    poll _logged_since "$1" "$2" "$3" || { cat "$WORK/proxy.log" >&2; fail "no $3 (waited $WAIT_SECONDS s)"; }
}
_logged_since() {
    since "$1" | grep -q "$2" && return 0
    kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended before $3"; }
    return 1
}

# _pointer_on <x> <y>: the pointer, brought into the compositor's window from outside it
# (a compositor nested in X hears of the pointer when it enters), has reached the
# program's window there.
_pointer_on() {
    xdotool mousemove 1279 1023 mousemove "$1" "$2"
    _logged_since 0 '^pointer' "the pointer"
}

# _aimed <x> <y>: the pointer stands at that point of the window's surface; else it is
# brought in again, from outside the compositor's window, to ($AIM_X, $AIM_Y) moved by the
# distance from where it was last reported (nested mutter hears of the point where the
# pointer enters, not always of its moves after), or back to where it first met the
# window, when it last left the window.
_aimed() {
    local at
    at=($(grep '^pointer' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-))
    [ "${at[*]}" = "$1 $2" ] && return 0
    if [ "${at[0]}" = left ]; then
        AIM_X=$AIM_START_X AIM_Y=$AIM_START_Y
    else
        AIM_X=$((AIM_X + $1 - at[0])) AIM_Y=$((AIM_Y + $2 - at[1]))
    fi
    xdotool mousemove 1279 1023 mousemove "$AIM_X" "$AIM_Y"
    return 1
}

# click_refused <label> <compositor socket> <x> <y>: the title bar's maximise button
# clicked for real, (x, y) a point of the compositor's window where the program's window
# lies; then a double click on the title bar.
click_refused() {
    start_relayed "$1" "$2"
    # Placed and active: mutter moves a new window once more before.
    wait_for '^configure .*activated' "configure making the window active"
    poll _pointer_on "$3" "$4" || { cat "$WORK/proxy.log" >&2; fail "$1: the pointer never reached the window"; }
    local width height before
    before=$(grep '^geometry' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)
    read -r _ _ width height <<<"$before"
    # Qt's title bar is 30 pixels high; the maximise button's centre stands 40 pixels in
    # from the window's right edge, left of the close button.
    AIM_X=$3 AIM_Y=$4 AIM_START_X=$3 AIM_START_Y=$4
    poll _aimed $((width - 40)) 15 || { cat "$WORK/proxy.log" >&2; fail "$1: the pointer never reached the maximise button"; }
    local n
    n=$(logged_lines)
    xdotool click 1
    wait_since "$n" '^set_maximized$' "maximise request from the title bar"
    wait_since "$n" '^configure .*maximized' "maximised configure"
    local size
    size=$(since "$n" | grep '^configure .*maximized' | head -1 | cut -d' ' -f2-3)
    wait_since "$n" "^geometry 0 0 $size\$" "window of the maximised size ($size)"
    wait_since "$n" '^unset_maximized' "request to be unmaximised"
    local m
    m=$(($(since "$n" | grep -n '^unset_maximized' | head -1 | cut -d: -f1) + n))
    poll _fixed_again "$m" || { cat "$WORK/proxy.log" >&2; fail "$1: the window did not take its fixed size back"; }
    echo "   $1: $(since "$n" | grep -E '^(set_maximized|configure|geometry|unset_maximized|set_max_size)' | tr '\n' ';')"
    [ "$(grep '^geometry' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)" = "$before" ] ||
        fail "$1: the window ends at $(grep '^geometry' "$WORK/proxy.log" | tail -1), not $before"
    [ "$(grep '^configure' "$WORK/proxy.log" | tail -1 | grep -c maximized)" = 0 ] || fail "$1: the window stays maximised"

    poll _aimed $((width / 2)) 15 || { cat "$WORK/proxy.log" >&2; fail "$1: the pointer never reached the title bar"; }
    n=$(logged_lines)
    xdotool click --repeat 2 1
    # Qt starts a move at a press; the compositor's move may take the second press itself.
    wait_since "$n" '^move' "move request from the first press"
    # The pointer moved on after the clicks is seen by the program once it has read what
    # the clicks sent it, all before the close.
    poll _aimed $((width / 2 + 20)) 15 || { cat "$WORK/proxy.log" >&2; fail "$1: the pointer did not move on"; }
    close_relayed "$1"
    ! since "$n" | grep -q '^set_maximized' || fail "$1: a double click on the title bar asked to be maximised"
    echo "   $1: a double click on the title bar: $(since "$n" | grep -c '^move') move requests, no maximise"
}
# _fixed_again <line>: past the unmaximise request, a configure without the maximised
# state has come and the window has its size fixed again ($FIXED), at the size it had
# ($before).
_fixed_again() {
    since "$1" | grep '^configure' | grep -qv maximized &&
        [ "$(grep '^set_max_size' "$WORK/proxy.log" | tail -1 | cut -d' ' -f2-)" = "$FIXED" ] &&
        [ "$(since "$1" | grep '^geometry' | tail -1 | cut -d' ' -f2-)" = "$before" ]
}

# maximise_refused <label> <compositor socket>: the relay sends the request.
maximise_refused() {
    start_relayed "$1" "$2"
    grep -q '^set_maximized' "$WORK/proxy.log" && fail "$1: the program asked to be maximised by itself"

    kill -USR2 "$PROXY_PID"
    wait_for '^configure .*maximized' "maximised configure from the compositor"
    wait_for '^unset_maximized' "request to be unmaximised"
    local before
    before=$(grep '^geometry' "$WORK/proxy.log" | head -1 | cut -d' ' -f2-)
    poll _fixed_again "$(grep -n '^unset_maximized' "$WORK/proxy.log" | head -1 | cut -d: -f1)" ||
        { cat "$WORK/proxy.log" >&2; fail "$1: the window did not take its fixed size back"; }
    echo "   $1: $(grep -E '^(set_maximized|configure|unset_maximized|set_max_size)' "$WORK/proxy.log" | tail -5 | tr '\n' ';')"
    [ "$(grep '^configure' "$WORK/proxy.log" | tail -1 | grep -c maximized)" = 0 ] || fail "$1: the window stays maximised"
    close_relayed "$1"
}

# stop_compositor: ends this row's compositor and waits for it.
stop_compositor() {
    kill "$COMPOSITOR_PID" 2>/dev/null || true
    wait_until "the compositor did not end" _compositor_ended
    COMPOSITOR_PID=
}
_compositor_ended() { ! kill -0 "$COMPOSITOR_PID" 2>/dev/null; }

# compositor_up <socket> <label>: true once the socket is there; false (the row skipped)
# when the compositor ended before it could offer one.
compositor_up() {
    poll _socket_or_gone "$1" && [ -S "$XDG_RUNTIME_DIR/$1" ] && return 0
    kill -0 "$COMPOSITOR_PID" 2>/dev/null && { cat "$WORK/compositor.log" >&2; fail "$2 did not open its socket"; }
    echo "SKIP: $2 cannot run here: $(grep -v '^\s*$' "$WORK/compositor.log" | tail -1)"
    COMPOSITOR_PID=
    return 1
}

ran=0
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    XVFB_SCREEN=1280x1024x24 start_xvfb
    if command -v weston >/dev/null; then
        note "weston in an X server, its maximise button clicked"
        weston --backend=x11-backend.so --use-pixman --width=1024 --height=640 --socket=wayland-kvw \
            --idle-time=0 >"$WORK/compositor.log" 2>&1 &
        COMPOSITOR_PID=$!
        if compositor_up wayland-kvw weston; then
            click_refused weston wayland-kvw 512 320
            stop_compositor
            ran=$((ran + 1))
        fi
    fi
    if command -v mutter >/dev/null && command -v dbus-run-session >/dev/null; then
        note "mutter in an X server, as GNOME runs nested, its maximise button clicked"
        rm -f "$WORK/mutter.pid"
        # A window that opens is zoomed in for a moment: the pointer would meet it elsewhere.
        mkdir -p "$WORK/config/glib-2.0/settings"
        printf '[org/gnome/desktop/interface]\nenable-animations=false\n' >"$WORK/config/glib-2.0/settings/keyfile"
        XDG_CONFIG_HOME="$WORK/config" GSETTINGS_BACKEND=keyfile dbus-run-session -- sh -c 'mutter --wayland --nested --no-x11 --wayland-display wayland-kvmn & echo $! >"$1"; wait' \
            sh "$WORK/mutter.pid" >"$WORK/compositor.log" 2>&1 &
        wait_until "mutter was not started" test -s "$WORK/mutter.pid"
        COMPOSITOR_PID=$(cat "$WORK/mutter.pid")
        if compositor_up wayland-kvmn mutter; then
            click_refused "mutter nested" wayland-kvmn 400 300
            stop_compositor
            ran=$((ran + 1))
        fi
    fi
fi

if command -v mutter >/dev/null && command -v dbus-run-session >/dev/null; then
    note "mutter (headless, as GNOME runs it), the request sent by the relay"
    rm -f "$WORK/mutter.pid"
    # A session bus of its own, ended with mutter; mutter's id is what the cleanup ends.
    dbus-run-session -- sh -c 'mutter --wayland --headless --no-x11 --virtual-monitor 1280x1024 \
        --wayland-display wayland-kvmu & echo $! >"$1"; wait' sh "$WORK/mutter.pid" >"$WORK/compositor.log" 2>&1 &
    wait_until "mutter was not started" test -s "$WORK/mutter.pid"
    COMPOSITOR_PID=$(cat "$WORK/mutter.pid")
    if compositor_up wayland-kvmu mutter; then
        maximise_refused mutter wayland-kvmu
        ran=$((ran + 1))
    fi
fi
[ "$ran" -gt 0 ] || { echo "SKIP: no compositor to run"; exit 77; }
echo "PASS: tst_wayland_maximise ($ran compositor(s))"
