#!/bin/bash
# Under the X11 window manager named (xfwm4, kwin_x11, ...), each with a frame of its own
# and its own way of reporting it: four starts in a row, each closed by the close box's
# request, leave the stored position as it was at every scale (an odd MainTop at 1.5 once
# gained one); the window is as large as under any other window manager; it offers no
# maximise; and a maximise or full screen asked of it anyway (xfwm4's window menu offers
# full screen, which stretched the fixed layout over the screen and stored 0,0) leaves
# the window at its size and place. Exit code 77 (skipped) where the window manager
# cannot start here.
# Usage: tst_x11_wms.sh <kanavox> <window manager>
source "$(dirname "$0")/xvfb.sh"
here=$(cd "$(dirname "$0")" && pwd)
wm=$2
# Room for the window at scale 2, so that no window manager moves it onto the screen.
XVFB_SCREEN=2560x1600x24 start_xvfb
install_copy "$1"
start_wm "$wm"

note "$wm: the stored position"
for scale in 1 1.25 1.5 1.75 2; do
    round_trips "$wm" "$scale" 201 133
done

note "$wm: maximise is not offered"
export QT_SCALE_FACTOR=1.5
start_app
fixed_size_actions "$wm"
close_request

# _in_state <state>: the window manager has put the main window ($WIN) in that state.
_in_state() { xprop -id "$WIN" _NET_WM_STATE | grep -qw "$1"; }
# _back_at <x> <y> <w> <h>: the main window is out of every size state, at that place and size.
_back_at() {
    ! _in_state _NET_WM_STATE_FULLSCREEN && ! _in_state _NET_WM_STATE_MAXIMIZED_VERT &&
        ! _in_state _NET_WM_STATE_MAXIMIZED_HORZ && window_geometry && [ "$WX,$WY,$WW,$WH" = "$1,$2,$3,$4" ]
}

# _managed: the window manager has framed the main window and set what it allows.
_managed() {
    xprop -id "$WIN" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_CLOSE &&
        ! xprop -id "$WIN" _NET_FRAME_EXTENTS | grep -q 'not found'
}

# refused <state> [state]: the window manager is asked for the states; whether it takes
# them or not, the window ends at its place and size, and the close stores its position.
refused() {
    local x y w h
    stored 201 133 >"$INI"
    start_app
    wait_until "$wm does not manage the window" _managed
    window_geometry
    x=$WX y=$WY w=$WW h=$WH
    python3 "$here/wm_state.py" "$WIN" "$@"
    # A window manager handles requests in order: once it has left the window out of the
    # pager, asked after (harmless, and taken by all, also in full screen), it has
    # answered the request for the states too.
    python3 "$here/wm_state.py" "$WIN" _NET_WM_STATE_SKIP_PAGER
    wait_until "$wm did not leave the window out of the pager" _in_state _NET_WM_STATE_SKIP_PAGER
    window_geometry
    echo "   $* asked: client area at $WX,$WY, $WW x $WH; $(xprop -id "$WIN" _NET_WM_STATE)"
    poll _back_at "$x" "$y" "$w" "$h" || {
        window_geometry
        fail "$wm, after $*: client area at $WX,$WY, $WW x $WH (was $x,$y, $w x $h); $(xprop -id "$WIN" _NET_WM_STATE)"
    }
    close_request
    [ "$(cat "$INI")" = "$(stored 201 133)" ] || fail "$wm, after $*: wrote $(grep -a Main "$INI" | tr -d '\r' | tr '\n' ' ')"
    echo "   $*: client area back at $WX,$WY, $WW x $WH; stored $(grep -a Main "$INI" | tr -d '\r' | tr '\n' ' ')"
}
note "$wm: full screen and maximise asked anyway"
export QT_SCALE_FACTOR=1
refused _NET_WM_STATE_FULLSCREEN
refused _NET_WM_STATE_MAXIMIZED_VERT _NET_WM_STATE_MAXIMIZED_HORZ
echo "PASS: tst_x11_wms $wm"
