#!/bin/bash
# Shared helpers for the real-window tests: an Xvfb of our own, the program copied into
# a fresh folder, and small checks. Sourced by the test scripts.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

# start_xvfb: starts a private X server and exports DISPLAY; stopped on exit.
start_xvfb() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.05
        done
        if xdpyinfo >/dev/null 2>&1; then
            trap cleanup EXIT
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null || true
    done
    fail "no Xvfb could be started"
}

cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "${XCLIP_PID:-}" ] && kill "$XCLIP_PID" 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

# install_copy <kanavox>: copies the program into a fresh folder ($WORK).
install_copy() {
    WORK=$(mktemp -d /tmp/kanavox-rw.XXXXXX)
    cp "$1" "$WORK/kanavox"
    INI="$WORK/Kanavox.ini"
}

# start_app: starts the copy and waits for its main window ($WIN).
start_app() {
    ( cd "$WORK" && exec ./kanavox ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    WIN=$(xdotool search --sync --onlyvisible --name '^Kanavox Ver\.0\.07$' | head -1)
    [ -n "$WIN" ] || fail "main window did not appear"
    xdotool windowfocus --sync "$WIN" >/dev/null 2>&1 || true
    sleep 0.3
}

wait_exit() {
    local i
    for i in $(seq 1 100); do
        kill -0 "$APP_PID" 2>/dev/null || { wait "$APP_PID" || true; APP_PID=; return 0; }
        sleep 0.05
    done
    fail "program did not exit"
}

# window_geometry: sets WX WY WW WH (client area in screen coordinates).
window_geometry() {
    eval "$(xwininfo -id "$WIN" | awk '/Absolute upper-left X/{print "WX="$4} /Absolute upper-left Y/{print "WY="$4} /Width:/{print "WW="$2} /Height:/{print "WH="$2}')"
}

# click_at <x> <y>: left click at client coordinates of the main window.
click_at() {
    xdotool mousemove --window "$WIN" "$1" "$2" click 1
    sleep 0.2
}

# screenshot <file>: the main window's client area as PNG.
screenshot() {
    import -window "$WIN" "$1"
}

# pixel <file> <x> <y>: "r,g,b" of one pixel.
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

clipboard_text() {
    xclip -o -selection clipboard 2>/dev/null
}

# expect_file <file> <printf-format>: the file's bytes equal the formatted text.
expect_file() {
    local want
    want=$(printf "$2" | od -An -c)
    local got
    got=$(od -An -c "$1")
    [ "$want" = "$got" ] || fail "file $1 differs: got $(cat -A "$1")"
}
