#!/bin/bash
# Native Wayland (weston's headless backend): with Qt's Wayland plugin the program starts,
# closes on the compositor's close request and keeps the stored position as it was (a
# Wayland client cannot learn where its window is), while the options are saved. With
# the plugin hidden it says so in one line and exits with 1 instead of aborting.
# Usage: tst_wayland.sh <kanavox>
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb.sh" # the waits; no X server here

wayland_copy "$1"

weston --backend=headless-backend.so --socket=wayland-kv --idle-time=0 >"$WORK/weston.log" 2>&1 &
COMPOSITOR_PID=$!
is_socket() { [ -S "$1" ]; }
poll is_socket "$XDG_RUNTIME_DIR/wayland-kv" || { cat "$WORK/weston.log" >&2; fail "weston did not start"; }

_framed() {
    kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended before its window appeared"; }
    grep -q '^frame$' "$WORK/proxy.log"
}

# run_closed <ini content>: one run through the relay, closed by the compositor's request.
run_closed() {
    printf "$1" >"$INI"
    rm -f "$XDG_RUNTIME_DIR/wayland-kvp"
    python3 "$here/wl_close_proxy.py" "$XDG_RUNTIME_DIR/wayland-kvp" "$XDG_RUNTIME_DIR/wayland-kv" \
        >"$WORK/proxy.log" 2>&1 &
    PROXY_PID=$!
    wait_until "the relay did not start" is_socket "$XDG_RUNTIME_DIR/wayland-kvp"
    ( cd "$WORK" && WAYLAND_DISPLAY=wayland-kvp exec ./kanavox ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    # The window is mapped once weston has sent its first configure and Qt drew a frame;
    # a close request before then would be a different case.
    poll _framed || { cat "$WORK/proxy.log" "$WORK/app.log" >&2; fail "no window was drawn"; }
    kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended by itself"; }
    kill -USR1 "$PROXY_PID"
    if ! poll _app_ended; then
        cat "$WORK/proxy.log" "$WORK/app.log" >&2
        fail "the close request did not close the window"
    fi
    local rc=0
    wait "$APP_PID" || rc=$?
    APP_PID=
    wait "$PROXY_PID" 2>/dev/null || true
    PROXY_PID=
    echo "   $(grep 'close sent' "$WORK/proxy.log"), exit code $rc"
    [ "$rc" = 0 ] || { cat "$WORK/app.log" >&2; fail "exit code $rc"; }
}

note "stored position kept, options saved"
run_closed '[Position]\r\nMainTop=120\r\nMainLeft=80\r\n\r\n[Setting]\r\nSepBlank=1\r\n\r\n'
want='[Position]\r\nMainTop=120\r\nMainLeft=80\r\n\r\n[Setting]\r\nSepBlank=1\r\nMojiSyu=1\r\n1Mojigoto=1\r\nNum=0\r\nKigou=0\r\n\r\n'
[ "$(od -An -c "$INI")" = "$(printf "$want" | od -An -c)" ] || fail "settings after the close: $(cat -A "$INI")"
note "no stored position: none is invented"
run_closed '[Setting]\r\nNum=1\r\n\r\n'
want='[Setting]\r\nNum=1\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nKigou=0\r\n\r\n'
[ "$(od -An -c "$INI")" = "$(printf "$want" | od -An -c)" ] || fail "settings after the close: $(cat -A "$INI")"

note "Qt's Wayland plugin missing"
platforms=$(dirname "$(ldd "$WORK/kanavox" | awk '/libQt6Core/ { print $3 }')")/qt6/plugins/platforms
[ -d "$platforms" ] || fail "no Qt platform plugin folder at $platforms"
mkdir "$WORK/platforms"
for p in "$platforms"/*.so; do
    case "$(basename "$p")" in libqwayland*) ;; *) ln -s "$p" "$WORK/platforms/" ;; esac
done
# A private mount namespace hides the plugin from this one run only.
hide="mount --bind '$WORK/platforms' '$platforms' && cd '$WORK' && WAYLAND_DISPLAY=wayland-kv exec ./kanavox"
if [ "$(id -u)" = 0 ]; then unshare_args=(-m); else unshare_args=(-r -m); fi
if ! unshare "${unshare_args[@]}" true 2>/dev/null; then
    echo "SKIP: no mount namespace here (unshare ${unshare_args[*]}); the missing-plugin case is not run"
    echo "PASS: tst_wayland"
    exit 0
fi
rc=0
unshare "${unshare_args[@]}" sh -c "$hide" >"$WORK/out.log" 2>"$WORK/err.log" || rc=$?
echo "   exit code $rc, stderr: $(cat "$WORK/err.log")"
[ "$rc" = 1 ] || fail "exit code $rc (134 is an abort)"
[ "$(wc -l <"$WORK/err.log")" = 1 ] || fail "not one line: $(cat "$WORK/err.log")"
grep -q 'qt6-wayland' "$WORK/err.log" || fail "the message does not name what is missing"
[ ! -s "$WORK/out.log" ] || fail "output on stdout: $(cat "$WORK/out.log")"
echo "PASS: tst_wayland"
