#!/bin/bash
# The stored position at every scale, with and without a window manager's frame: four
# starts in a row, each closed as by the close box, leave the file as it was (an odd
# MainTop at scale 1.5 once gained one), also when the window manager reports its frame
# extents in units of its own scale, as kwin with Xwayland scaling does (simulated on
# openbox's frame), or reports none. Every size hint names one size, the window's, so a
# window manager that counts size increments from the base size finds no other; openbox
# offers no maximise.
# Usage: tst_frame_scale.sh <kanavox>
source "$(dirname "$0")/xvfb.sh"
XVFB_SCREEN=2560x1600x24 start_xvfb
install_copy "$1"

stored() {
    printf '[Position]\r\nMainTop=%s\r\nMainLeft=%s\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n' "$1" "$2"
}
# scaled <logical> <scale>: the X pixel Qt rounds a logical coordinate to.
scaled() {
    awk -v v="$1" -v s="$2" 'BEGIN { x = v * s; print (x < 0 ? -int(-x + 0.5) : int(x + 0.5)) }'
}
# close_request: the close box's request, as a window manager sends it (also without one).
close_request() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/wm_delete.py" "$WIN"
    wait_exit
}
# size_hints_agree <scale>: the window is as large as every hint says, and a window
# manager that keeps to base size plus whole increments lands on that size too.
size_hints_agree() {
    local hints want_w want_h
    want_w=$(scaled 664 "$1")
    want_h=$(scaled 443 "$1")
    [ "$WW x $WH" = "$want_w x $want_h" ] || fail "scale $1: client area $WW x $WH, expected $want_w x $want_h"
    hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
    echo "$hints" | awk -v w="$want_w" -v h="$want_h" -v s="$1" '
        /minimum size/ { split($0, a, ": "); split(a[2], m, " by "); minw = m[1]; minh = m[2] }
        /maximum size/ { split($0, a, ": "); split(a[2], m, " by "); maxw = m[1]; maxh = m[2] }
        /base size/ { split($0, a, ": "); split(a[2], m, " by "); bw = m[1]; bh = m[2]; base = 1 }
        /resize increment/ { split($0, a, ": "); split(a[2], m, " by "); iw = m[1]; ih = m[2] }
        END {
            if (minw != w || minh != h || maxw != w || maxh != h) { print "min " minw "x" minh ", max " maxw "x" maxh; exit 1 }
            if (!iw) exit 0
            if (!base) { bw = minw; bh = minh }
            # ICCCM: width = base + i * increment, the largest such within the maximum.
            gw = bw + int((maxw - bw) / iw) * iw; gh = bh + int((maxh - bh) / ih) * ih
            if (gw != w || gh != h) { print "base " bw "x" bh ", increment " iw "x" ih " gives " gw "x" gh; exit 1 }
        }' || fail "scale $1: size hints disagree with the size $want_w x $want_h"
}

_no_extents() { xprop -id "$WIN" _NET_FRAME_EXTENTS | grep -q 'not found'; }
_extents_are() { [ "$(xprop -id "$WIN" _NET_FRAME_EXTENTS | sed 's/.*= //')" = "$1" ]; }

# round_trips <label> <scale> <top> <left> [fake extents]: four starts, the file unchanged.
round_trips() {
    local label=$1 scale=$2 top=$3 left=$4 fake=${5:-} run tops=""
    export QT_SCALE_FACTOR=$scale
    stored "$top" "$left" >"$INI"
    for run in 1 2 3 4; do
        start_app
        # Qt then drops events of the window, this close request among them.
        grep -q 'not created in the main() thread' "$WORK/app.log" &&
            fail "$label, scale $scale, run $run: Qt took another thread for the main thread"
        window_geometry
        # Faked once openbox has made the window active, so that none of its own handling
        # of the new window comes after the fake.
        if [ -n "$fake" ]; then wait_active "$WIN"; fi
        if [ "$fake" = none ]; then
            xprop -id "$WIN" -remove _NET_FRAME_EXTENTS
            wait_until "$label: the frame extents stay" _no_extents
        elif [ -n "$fake" ]; then
            xprop -id "$WIN" -f _NET_FRAME_EXTENTS 32c -set _NET_FRAME_EXTENTS "$fake"
            wait_until "$label: the frame extents are not $fake" _extents_are "$fake"
        fi
        [ "$run" = 1 ] && size_hints_agree "$scale"
        close_request
        tops="$tops $(grep -a MainTop "$INI" | tr -d '\r' | sed 's/MainTop=//')/$(grep -a MainLeft "$INI" | tr -d '\r' | sed 's/MainLeft=//')"
        [ "$(cat "$INI")" = "$(stored "$top" "$left")" ] ||
            fail "$label, scale $scale, run $run: client area at $WX,$WY; wrote $(grep -a Main "$INI" | tr -d '\r' | tr '\n' ' ')"
    done
    echo "   $label, scale $scale: MainTop/MainLeft over four starts:$tops (client area at $WX,$WY, $WW x $WH)"
}

note "no window manager"
for scale in 1.25 1.5 1.75; do
    round_trips "no window manager" "$scale" 201 133
done

openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
trap 'kill $WM_PID 2>/dev/null || true; cleanup' EXIT
wait_wm

note "openbox"
for scale in 1 1.25 1.5 1.75 2; do
    round_trips "openbox" "$scale" 201 133
done

note "maximise is not offered"
export QT_SCALE_FACTOR=1.5
start_app
actions=$(xprop -id "$WIN" _NET_WM_ALLOWED_ACTIONS)
echo "   $actions"
echo "$actions" | grep -q '_NET_WM_ACTION_CLOSE' || fail "openbox set no allowed actions: $actions"
echo "$actions" | grep -q '_NET_WM_ACTION_MAXIMIZE' && fail "openbox allows maximising: $actions"
echo "$actions" | grep -q '_NET_WM_ACTION_RESIZE' && fail "openbox allows resizing: $actions"
echo "$actions" | grep -q '_NET_WM_ACTION_MINIMIZE' || fail "minimising is not offered: $actions"
close_request

note "frame extents reported in the window manager's own units (half the X pixels)"
# openbox's frame: a 1-pixel border and a 20-pixel title bar; reported as kwin would at
# Xwayland scale 2: left, right, top, bottom.
round_trips "extents in units of 2" 1 200 120 "0, 0, 10, 0"
round_trips "extents in units of 2" 2 200 120 "0, 0, 10, 0"
round_trips "extents in units of 2" 1.5 201 133 "0, 0, 10, 0"
note "a frame but no extents reported (twm and the like)"
round_trips "no extents" 1.5 201 133 none
echo "PASS: tst_frame_scale"
