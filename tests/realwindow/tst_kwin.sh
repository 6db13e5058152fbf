#!/bin/bash
# Under KDE's kwin (Wayland on a virtual output, the program on Xwayland) with X programs
# scaling themselves (kwinrc [Xwayland] Scale=2): kwin reports _NET_FRAME_EXTENTS in its
# own units, top 37 for a title bar of 74 X pixels, and the window once moved down by the
# difference on every start (MainTop 200, 237, 274, ...). Four starts in a row now leave
# the stored position as it was: at Qt's scale 1, at 2 (Xft.dpi 192) and at 1.5 with an
# odd MainTop; kwin offers no maximise either. Exit code 77 (skipped) where kwin cannot
# run its session here.
# Usage: tst_kwin.sh <kanavox>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --inside ]; then
    # Run by kwin as its session, with DISPLAY naming its Xwayland.
    exec >"$3/inside.log" 2>&1
    source "$here/xvfb.sh"
    install_copy "$2"
    # round_trips <label> <top> <left>: four starts closed by the close box's request.
    round_trips() {
        local run tops=""
        stored "$2" "$3" >"$INI"
        for run in 1 2 3 4; do
            start_app
            window_geometry
            [ "$run" = 1 ] && echo "   $1: client area at $WX,$WY, $WW x $WH; $(xprop -id "$WIN" _NET_FRAME_EXTENTS)"
            python3 "$here/wm_delete.py" "$WIN"
            wait_exit
            tops="$tops $(grep -a MainTop "$INI" | tr -d '\r' | sed 's/MainTop=//')/$(grep -a MainLeft "$INI" | tr -d '\r' | sed 's/MainLeft=//')"
            [ "$(cat "$INI")" = "$(stored "$2" "$3")" ] || fail "$1, run $run: MainTop/MainLeft over the starts:$tops"
        done
        echo "   $1: MainTop/MainLeft over four starts:$tops"
    }
    wait_until "kwin manages no X windows" _wm_announced
    unset QT_SCALE_FACTOR
    note "kwin, Xwayland Scale=2, the program at scale 1"
    round_trips "scale 1" 200 120
    note "maximise is not offered"
    start_app
    actions=$(xprop -id "$WIN" _NET_WM_ALLOWED_ACTIONS)
    echo "   $actions"
    echo "$actions" | grep -q '_NET_WM_ACTION_CLOSE' || fail "kwin set no allowed actions: $actions"
    echo "$actions" | grep -q '_NET_WM_ACTION_MAXIMIZE' && fail "kwin allows maximising: $actions"
    python3 "$here/wm_delete.py" "$WIN"
    wait_exit
    note "Xft.dpi 192: the program at scale 2"
    xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t192\n')"
    round_trips "Xft.dpi 192" 218 120
    xprop -root -remove RESOURCE_MANAGER
    note "QT_SCALE_FACTOR=1.5, odd MainTop"
    export QT_SCALE_FACTOR=1.5
    round_trips "scale 1.5" 201 133
    echo PASS >"$3/result"
    exit 0
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
for tool in kwin_wayland Xwayland dbus-run-session xprop xdotool; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
WORK=$(mktemp -d /tmp/kanavox-kwin.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
# A copy runs without the binary's file capability, which a sandbox may refuse to grant.
cp "$(command -v kwin_wayland)" "$WORK/kwin_wayland"
mkdir -m 700 "$WORK/run"
mkdir -p "$WORK/config" "$WORK/home"
printf '[Xwayland]\nScale=2\n' >"$WORK/config/kwinrc"
printf '#!/bin/sh\nexec bash %q --inside %q %q\n' "$here/tst_kwin.sh" "$(realpath "$1")" "$WORK" >"$WORK/session.sh"
chmod +x "$WORK/session.sh"
rc=0
env -i PATH="$PATH" HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config" LC_ALL=C.UTF-8 \
    timeout 240 dbus-run-session -- "$WORK/kwin_wayland" --virtual --xwayland --socket kanavox-kwin \
    --width 1280 --height 1024 --exit-with-session "$WORK/session.sh" >"$WORK/kwin.log" 2>&1 || rc=$?
if [ ! -e "$WORK/inside.log" ]; then
    tail -20 "$WORK/kwin.log"
    skip "kwin did not start its session here (exit code $rc)"
fi
cat "$WORK/inside.log"
[ -e "$WORK/result" ] || fail "under kwin (kwin exit code $rc)"
echo "PASS: tst_kwin"
