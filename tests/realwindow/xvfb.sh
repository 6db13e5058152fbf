#!/bin/bash
# Shared helpers for the real-window tests: an Xvfb of our own, the program copied into
# a fresh folder, and small checks. Sourced by the test scripts.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

# --- waiting for states ------------------------------------------------------------------
# A script waits for what it needs to see, never for a time: a loaded machine or a
# sanitizer build answers many times slower than a quiet one, and a state that comes is
# seen within one poll step. The deadline only bounds a wait for a state that never comes.
if [ -n "${KANAVOX_WAIT_SECONDS:-}" ]; then
    WAIT_SECONDS=$KANAVOX_WAIT_SECONDS
elif [ -n "${ASAN_OPTIONS:-}${UBSAN_OPTIONS:-}" ]; then
    WAIT_SECONDS=60
else
    WAIT_SECONDS=20
fi
export KANAVOX_WAIT_SECONDS=$WAIT_SECONDS # read by atspi_walk.py as well
POLL_STEP=0.05

# poll <command...>: polls the command until it succeeds; false if the deadline came first.
poll() {
    local end=$((SECONDS + WAIT_SECONDS))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep "$POLL_STEP"
    done
}

# wait_until <what> <command...>: polls the command until it succeeds; fails with <what>.
wait_until() {
    local what=$1
    shift
    poll "$@" || fail "$what (waited $WAIT_SECONDS s)"
}

# The layout the program builds its window from: the scripts find the window by its caption
# and click the controls where the layout places them.
LAYOUT_FILE="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../resources/layout" && pwd)/Main.json"

# layout_query caption|rect <control>: the window caption as a whole-name pattern for
# xdotool, or "x y w h" of a control in the window's client coordinates.
layout_query() {
    python3 - "$LAYOUT_FILE" "$@" <<'PY'
import json, sys
form = json.load(open(sys.argv[1], encoding="utf-8"))
if sys.argv[2] == "caption":
    print("^" + "".join("\\" + c if c in "\\.[]()*+?{}|^$" else c for c in form["Caption"]) + "$")
    sys.exit(0)
def find(node, x, y):
    for c in node.get("children", []):
        cx, cy = x + c.get("Left", 0), y + c.get("Top", 0)
        if c["name"] == sys.argv[3]:
            return cx, cy, c["Width"], c["Height"]
        found = find(c, cx, cy)
        if found:
            return found
found = find(form, 0, 0)
if not found:
    sys.exit("no control " + sys.argv[3] + " in " + sys.argv[1])
print(*found)
PY
}
MAIN_WINDOW_NAME=$(layout_query caption)

# control_point <control> [dx dy]: "x y" of the control's centre, or of the point dx, dy
# from its top-left corner, in client coordinates.
control_point() {
    local r
    r=($(layout_query rect "$1")) || exit 1
    if [ $# -ge 3 ]; then
        echo $(( r[0] + $2 )) $(( r[1] + $3 ))
    else
        echo $(( r[0] + r[2] / 2 )) $(( r[1] + r[3] / 2 ))
    fi
}

# a11y_session <script> [args...]: runs the script (the caller, "$0") again in a session bus
# and a runtime folder of its own, then exits with its status; returns at once inside it.
# The accessibility bus's socket is named after the display, in the runtime folder: in a
# shared one, the bus of a test that just ended on a display of the same number removes it.
a11y_session() {
    [ -n "${KANAVOX_A11Y_SESSION:-}" ] && return 0
    export KANAVOX_A11Y_SESSION=1
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/kanavox-run.XXXXXX)
    export XDG_RUNTIME_DIR
    local rc=0
    dbus-run-session -- bash "$@" || rc=$?
    rm -rf "$XDG_RUNTIME_DIR"
    exit "$rc"
}

# start_xvfb: starts a private X server and exports DISPLAY; stopped on exit.
# XVFB_SCREEN (default 1280x1024x24) sets the screen size and depth.
start_xvfb() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        # -noreset: a server resetting after its last client left (the readiness probe)
        # refuses the program's connection for a moment.
        Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        # Another test may take the same number at the same moment: the display is ours
        # only when the lock names our server.
        poll _xvfb_settled "$n" || true
        if _xvfb_ours "$n"; then
            trap cleanup EXIT
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null || true
    done
    fail "no Xvfb could be started"
}

# _xvfb_ours <n>: our server runs, holds display n and answers on it.
_xvfb_ours() {
    kill -0 "$XVFB_PID" 2>/dev/null && [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock")" = "$XVFB_PID" ] &&
        xdpyinfo >/dev/null 2>&1
}
# _xvfb_settled <n>: our server either holds display n or has ended (lost it to another).
_xvfb_settled() { ! kill -0 "$XVFB_PID" 2>/dev/null || _xvfb_ours "$1"; }

cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "${XCLIP_PID:-}" ] && kill "$XCLIP_PID" 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "${PROXY_PID:-}" ] && kill "$PROXY_PID" 2>/dev/null || true
    [ -n "${COMPOSITOR_PID:-}" ] && kill "$COMPOSITOR_PID" 2>/dev/null || true
    [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null || true
    [ -n "${WM_BUS_PID:-}" ] && kill "$WM_BUS_PID" 2>/dev/null || true
    [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

# install_copy <kanavox>: copies the program into a fresh folder ($WORK).
install_copy() {
    WORK=$(mktemp -d /tmp/kanavox-rw.XXXXXX)
    cp "$1" "$WORK/kanavox"
    INI="$WORK/Kanavox.ini"
}

# wayland_copy <kanavox>: the program in a fresh folder ($WORK) for a compositor the script
# starts ($COMPOSITOR_PID), with a runtime folder of its own and no X display; all of it
# ended on exit.
wayland_copy() {
    install_copy "$1"
    trap cleanup EXIT
    export XDG_RUNTIME_DIR="$WORK/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
}

# start_app: starts the copy and waits for its main window ($WIN).
start_app() {
    start_program ./kanavox
}

# start_program <command...>: runs the command in $WORK and waits for the main window.
start_program() {
    ( cd "$WORK" && exec "$@" ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    wait_main_window
    focus_window "$WIN"
}

# wait_main_window: waits until the program ($APP_PID) shows its main window ($WIN), not focused.
wait_main_window() {
    WIN=
    wait_until "main window did not appear" _main_window_shown
}
_main_window_shown() {
    kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended before its window appeared"; }
    WIN=$(window_named "$MAIN_WINDOW_NAME" | head -1)
    [ -n "$WIN" ] || return 1
    # Qt then takes no key and never makes the window active.
    ! grep -q "not created in the main() thread" "$WORK/app.log" || fail "Qt took another thread for the main thread"
}

# ordinary_user <home>: sets RUN_AS, the prefix that runs a program as an ordinary user
# with that home folder (root drops to nobody; anyone else stays who they are), and
# gives the home folder to that user.
ordinary_user() {
    mkdir -p "$1"
    if [ "$(id -u)" = 0 ]; then
        chown nobody:nogroup "$1"
        RUN_AS=(setpriv --reuid=nobody --regid=nogroup --clear-groups -- env -u XDG_CONFIG_HOME HOME="$1")
    else
        RUN_AS=(env -u XDG_CONFIG_HOME HOME="$1")
    fi
}

# wait_exit: waits until the program ($APP_PID) has ended.
wait_exit() {
    wait_until "program did not exit" _app_ended
    wait "$APP_PID" || true
    APP_PID=
}
_app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }

# stop_app: ends the program ($APP_PID) with SIGTERM and waits until its windows are gone,
# before the next program's are looked for.
stop_app() {
    kill "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=
    wait_window_gone "$MAIN_WINDOW_NAME" "the stopped program's main window stays"
    wait_window_gone '^Kanavox$' "the stopped program's error box stays"
}

# wait_wm: waits until a window manager has announced itself on the root window.
wait_wm() {
    wait_until "no window manager announced itself" _wm_announced
}
_wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# start_wm openbox|xfwm4|kwin_x11: starts that window manager on our display ($WM_PID),
# with a session bus of its own (xfwm4 reads its settings over it, kwin registers on it)
# and its settings in $WORK; ended on exit. Exit code 77 (skipped) where it is not
# installed or ends before it manages the display.
start_wm() {
    command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed"; exit 77; }
    local bus
    bus=($(dbus-daemon --session --fork --print-address=1 --print-pid=1)) || fail "no session bus for $1"
    WM_BUS_PID=${bus[1]}
    mkdir -p "$WORK/wm-config"
    local wm=("$1")
    case "$1" in
        openbox) wm+=(--sm-disable) ;;
        xfwm4) wm+=(--compositor=off --sm-client-disable) ;;
        # Without compositing: Xvfb has no OpenGL for it, and the frame is the same.
        kwin_x11) wm=(env KWIN_COMPOSE=N "$1" --replace) ;;
    esac
    DBUS_SESSION_BUS_ADDRESS=${bus[0]} XDG_CONFIG_HOME="$WORK/wm-config" "${wm[@]}" >"$WORK/wm.log" 2>&1 &
    WM_PID=$!
    poll _wm_up || true
    if ! kill -0 "$WM_PID" 2>/dev/null; then
        tail -5 "$WORK/wm.log"
        echo "SKIP: $1 ended before it managed the display"
        exit 77
    fi
    _wm_announced || fail "$1 did not announce itself (waited $WAIT_SECONDS s)"
}
_wm_up() { _wm_announced || ! kill -0 "$WM_PID" 2>/dev/null; }

# --- the stored position ----------------------------------------------------------------

# stored <top> <left> [options]: the settings file as the program writes it anew, with that
# position and the options as five digits in their order on the screen (default 11000).
stored() {
    local o=${3:-11000}
    printf '[Position]\r\nMainTop=%s\r\nMainLeft=%s\r\n\r\n[Setting]\r\nMojiSyu=%s\r\n1Mojigoto=%s\r\nSepBlank=%s\r\nNum=%s\r\nKigou=%s\r\n\r\n' \
        "$1" "$2" "${o:0:1}" "${o:1:1}" "${o:2:1}" "${o:3:1}" "${o:4:1}"
}
# expect_stored <file> <top> <left> [options]: the file's bytes are exactly that settings file.
expect_stored() {
    cmp -s "$1" <(stored "$2" "$3" "${4:-}") ||
        fail "file $1 differs: got $(cat -A "$1"), expected $(stored "$2" "$3" "${4:-}" | cat -A)"
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
    local label=$1 scale=$2 top=$3 left=$4 fake=${5:-} run tops="" extents=""
    export QT_SCALE_FACTOR=$scale
    stored "$top" "$left" >"$INI"
    for run in 1 2 3 4; do
        start_app
        # Qt then drops events of the window, this close request among them.
        grep -q 'not created in the main() thread' "$WORK/app.log" &&
            fail "$label, scale $scale, run $run: Qt took another thread for the main thread"
        window_geometry
        # Faked once the window manager has made the window active, so that none of its
        # own handling of the new window comes after the fake.
        if [ -n "$fake" ]; then wait_active "$WIN"; fi
        if [ "$fake" = none ]; then
            xprop -id "$WIN" -remove _NET_FRAME_EXTENTS
            wait_until "$label: the frame extents stay" _no_extents
        elif [ -n "$fake" ]; then
            xprop -id "$WIN" -f _NET_FRAME_EXTENTS 32c -set _NET_FRAME_EXTENTS "$fake"
            wait_until "$label: the frame extents are not $fake" _extents_are "$fake"
        fi
        if [ "$run" = 1 ]; then
            size_hints_agree "$scale"
            extents=$(xprop -id "$WIN" _NET_FRAME_EXTENTS | sed 's/.*= //')
        fi
        close_request
        tops="$tops $(grep -a MainTop "$INI" | tr -d '\r' | sed 's/MainTop=//')/$(grep -a MainLeft "$INI" | tr -d '\r' | sed 's/MainLeft=//')"
        [ "$(cat "$INI")" = "$(stored "$top" "$left")" ] ||
            fail "$label, scale $scale, run $run: client area at $WX,$WY; wrote $(grep -a Main "$INI" | tr -d '\r' | tr '\n' ' ')"
    done
    echo "   $label, scale $scale: MainTop/MainLeft over four starts:$tops (client area at $WX,$WY, $WW x $WH; frame extents $extents)"
}

# fixed_size_actions <label>: the window manager offers the main window ($WIN) no
# maximise and no resize, but its close and minimise.
fixed_size_actions() {
    local actions
    actions=$(xprop -id "$WIN" _NET_WM_ALLOWED_ACTIONS)
    echo "   $1: $actions"
    echo "$actions" | grep -q '_NET_WM_ACTION_CLOSE' || fail "$1 set no allowed actions: $actions"
    echo "$actions" | grep -q '_NET_WM_ACTION_MAXIMIZE' && fail "$1 allows maximising: $actions"
    echo "$actions" | grep -q '_NET_WM_ACTION_RESIZE' && fail "$1 allows resizing: $actions"
    echo "$actions" | grep -q '_NET_WM_ACTION_MINIMIZE' || fail "minimising is not offered: $actions"
}

# wait_active <window id>: waits until the window manager names the window its active one:
# it has then handled the window's focus, and redraws no frame for it on its own.
wait_active() {
    wait_until "the window manager did not make window $1 active" _wm_active "$1"
}
_wm_active() {
    [ "$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/^.*# *//p')" = "$(printf '0x%x' "$1")" ]
}

# window_geometry: sets WX WY WW WH (client area in screen coordinates).
window_geometry() {
    eval "$(xwininfo -id "$WIN" | awk '/Absolute upper-left X/{print "WX="$4} /Absolute upper-left Y/{print "WY="$4} /Width:/{print "WW="$2} /Height:/{print "WH="$2}')"
}

# move_window <window id> <x> <y>: moves the window (no window manager) and waits until the
# server has it there; the program learns it before any input sent after.
move_window() {
    xdotool windowmove "$1" "$2" "$3"
    wait_until "window $1 did not move to $2,$3" _window_at "$@"
}
_window_at() {
    local at
    at=$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x "," y}')
    [ "$at" = "$2,$3" ]
}

# click_at <x> <y>: left click at client coordinates of the main window. It returns once the
# click is sent: wait for what it does.
click_at() {
    xdotool mousemove --window "$WIN" "$1" "$2" click 1
}

# click_control <control> [dx dy]: click_at the control's centre or that point in it.
click_control() {
    local p
    p=($(control_point "$@")) || exit 1
    click_at "${p[0]}" "${p[1]}"
}

# screenshot <file>: the main window's client area as PNG.
screenshot() {
    import -window "$WIN" "$1"
}

# pixel <file> <x> <y>: "r,g,b" of one pixel.
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# clipboard_text: the X clipboard's text now (nothing when no one owns it).
clipboard_text() {
    timeout 10 xclip -o -selection clipboard 2>/dev/null
}

# wait_clipboard <printf-format> [what]: waits until the X clipboard holds exactly that text;
# after a click on a copy button, or for an owner just started (xclip) to take it.
wait_clipboard() {
    WANT_OD=$(printf "$1" | od -An -c)
    poll _clipboard_is_want ||
        fail "${2:-clipboard}: clipboard holds $(clipboard_text | cat -A), expected $(printf "$1" | cat -A) (waited $WAIT_SECONDS s)"
}
_clipboard_is_want() { [ "$(clipboard_text | od -An -c)" = "$WANT_OD" ]; }

# set_clipboard <printf-format>: xclip owns the X clipboard with that text (any earlier
# xclip of ours let go) until another owner takes it; returns once it does own it.
set_clipboard() {
    [ -n "${XCLIP_PID:-}" ] && kill "$XCLIP_PID" 2>/dev/null || true
    printf "$1" | xclip -selection clipboard -loops 0 &
    XCLIP_PID=$!
    wait_clipboard "$1" "xclip's text"
}

# wait_clipboard_not <printf-format> [what]: waits until the X clipboard holds anything but
# that text: another owner (the program's copy) took it from the one that held it.
wait_clipboard_not() {
    WANT_OD=$(printf "$1" | od -An -c)
    wait_until "${2:-clipboard}: clipboard still holds $(printf "$1" | cat -A)" _clipboard_is_not_want
}
_clipboard_is_not_want() { ! _clipboard_is_want; }

# expect_file <file> <printf-format>: the file's bytes equal the formatted text.
expect_file() {
    local want
    want=$(printf "$2" | od -An -c)
    local got
    got=$(od -An -c "$1")
    [ "$want" = "$got" ] || fail "file $1 differs: got $(cat -A "$1")"
}

# --- colour probes on screenshots --------------------------------------------------------

# system_colours <palette_probe>: sets COLOUR_<name>="r,g,b" for the program's system
# colours as they resolve on this display.
system_colours() {
    local name rgb
    while read -r name rgb; do
        eval "COLOUR_$name=$rgb"
    done < <("$1")
}

# area_pixels <file> <x> <y> <w> <h>: one "x y r g b" line per pixel of the rectangle.
area_pixels() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- |
        awk -v ox="$2" -v oy="$3" 'NR > 1 {
            split($1, p, "[,:]"); gsub(/[()]/, "", $2); split($2, c, ",");
            print p[1] + ox, p[2] + oy, int(c[1]), int(c[2]), int(c[3]) }'
}

# darkest <file> <x> <y> <w> <h>: "r,g,b x y" of the darkest pixel (by luma) of a rectangle.
darkest() {
    area_pixels "$@" | awk 'BEGIN { best = 1e9 }
        { l = 299 * $3 + 587 * $4 + 114 * $5; if (l < best) { best = l; out = $3 "," $4 "," $5 " " $1 " " $2 } }
        END { print out }'
}

# has_ink <file> <x> <y> <w> <h> <max luma>: true when some pixel of the rectangle is darker
# than max luma (text or another mark is drawn there).
has_ink() {
    local d
    d=$(darkest "$1" "$2" "$3" "$4" "$5")
    [ -n "$d" ] && [ "$(luma "${d%% *}")" -lt "$6" ]
}

# luma <r,g,b>: perceived brightness 0..255.
luma() {
    echo "$1" | awk -F, '{ print int((299 * $1 + 587 * $2 + 114 * $3) / 1000) }'
}

# over <r,g,b source> <alpha> <r,g,b under>: the source at alpha composed over under.
over() {
    awk -v s="$1" -v a="$2" -v u="$3" 'BEGIN { split(s, S, ","); split(u, U, ",");
        for (i = 1; i <= 3; i++) o[i] = int((S[i] * a + U[i] * (255 - a) + 127) / 255);
        print o[1] "," o[2] "," o[3] }'
}

# near <got> <want> <tolerance>: true when every channel differs by at most tolerance.
near() {
    awk -v g="$1" -v w="$2" -v t="$3" 'BEGIN { split(g, G, ","); split(w, W, ",");
        for (i = 1; i <= 3; i++) { d = G[i] - W[i]; if (d < 0) d = -d; if (d > t) exit 1 } exit 0 }'
}

# rgb_at <file> <x> <y>: "r,g,b" of one pixel, read as 8-bit integers.
rgb_at() {
    area_pixels "$1" "$2" "$3" 1 1 | awk '{ print $3 "," $4 "," $5 }'
}

# probe <file> <label> <x> <y> <want r,g,b> <tolerance>: checks one pixel, logs what it saw.
probe() {
    local got
    got=$(rgb_at "$1" "$3" "$4")
    echo "   probe $2 at ($3,$4): $got (want $5 ± $6)"
    near "$got" "$5" "$6" || fail "$2 at ($3,$4) is $got, expected $5 ± $6"
}

# window_named <regex>: ids of visible (mapped and viewable) windows whose name matches.
window_named() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null || true
}

# wait_window <regex> [what]: waits for a visible window of that name, prints its id.
wait_window() {
    wait_until "${2:-no window named $1}" _window_found "$1"
    window_named "$1" | head -1
}
_window_found() { [ -n "$(window_named "$1")" ]; }

# wait_window_gone <regex> [what]: waits until no visible window has that name.
wait_window_gone() {
    wait_until "${2:-a window named $1 is still shown}" _window_gone "$1"
}
_window_gone() { [ -z "$(window_named "$1")" ]; }

# wait_focus <window id> [what]: waits until the X input focus is on the window (one the
# program activates itself).
wait_focus() {
    wait_until "${2:-window $1 did not get the focus}" _has_focus "$1"
}
_has_focus() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }

# focus_window <window id>: gives the window the X input focus (no window manager does it
# here) and waits until the server reports it there; keys sent without --window go to it.
focus_window() {
    poll _take_focus "$1" ||
        fail "window $1 did not get the focus, it is on $(xdotool getwindowfocus -f 2>/dev/null) (waited $WAIT_SECONDS s)"
}
_take_focus() {
    _has_focus "$1" && return 0
    xdotool windowfocus "$1" 2>/dev/null || true
    _has_focus "$1"
}

# wait_error_box: waits for the program's error box (a window titled Kanavox), prints its id.
wait_error_box() {
    wait_window '^Kanavox$' "no error box titled Kanavox"
}

# close_error_box <window id>: focuses the error box, answers it with Return and waits
# until it is gone.
close_error_box() {
    focus_window "$1"
    xdotool key Return
    wait_window_gone '^Kanavox$' "the error box did not close"
}

# wait_file <file> <printf-format> [what]: waits until the file's bytes equal the formatted
# text (a file the running program writes).
wait_file() {
    WANT_OD=$(printf "$2" | od -An -c)
    poll _file_is_want "$1" ||
        fail "${3:-file $1}: holds $(cat -A "$1" 2>/dev/null), expected $(printf "$2" | cat -A) (waited $WAIT_SECONDS s)"
}
_file_is_want() { [ -f "$1" ] && [ "$(od -An -c "$1")" = "$WANT_OD" ]; }

# count_lines <file> <regex>: the number of the file's lines that match (0 without the file).
count_lines() {
    grep -c -- "$2" "$1" 2>/dev/null || true
}

# wait_lines <file> <regex> <count> [what]: waits until at least count lines of the file
# match (a log or an event monitor's output that grows).
wait_lines() {
    wait_until "${4:-fewer than $3 lines of $1 match $2}" _lines_at_least "$1" "$2" "$3"
}
_lines_at_least() { [ "$(count_lines "$1" "$2")" -ge "$3" ]; }

# wait_file_changed <file> <copy of it before> [what]: waits until the file differs from the copy.
wait_file_changed() {
    wait_until "${3:-file $1 did not change}" _file_differs "$1" "$2"
}
_file_differs() { ! cmp -s "$1" "$2"; }

# wait_shot <file> <what> <check...>: takes screenshots of the main window into the file
# until the check (a command, run with the file written) succeeds: for a repaint that
# follows an action whose effect was already seen elsewhere.
wait_shot() {
    local file=$1 what=$2
    shift 2
    wait_until "$what" _shot_and_check "$file" "$@"
}
_shot_and_check() { screenshot "$1" && "${@:2}"; }

# wait_still <file> [window id] [WxH+X+Y]: screenshots of the window (default the main one)
# until it is drawn (not one flat colour, as before its first paint) and two taken a moment
# apart are the same (in that part of it only, if given), the last kept in the file: the
# paint after the last action has finished. Leave out a blinking caret.
wait_still() {
    local win=${2:-$WIN}
    import -window "$win" "$1.before.png"
    wait_until "window $win kept changing" _shot_still "$win" "$1" "${3:+[$3]}"
    rm -f "$1.before.png"
}
_shot_still() {
    sleep 0.2 # the moment between the two pictures
    import -window "$1" "$2" || return 1
    [ "$(identify -format %k "$2")" -gt 1 ] &&
        [ "$(compare -metric AE "$2$3" "$2.before.png$3" null: 2>&1)" = 0 ] && return 0
    mv "$2" "$2.before.png"
    return 1
}

# wait_new_window [window id...]: waits for a visible window of the program ($APP_PID)
# other than those given (a menu, a dialog), prints its id.
wait_new_window() {
    wait_until "the program showed no new window" _new_window "$@" >/dev/null
    _new_window "$@"
}
_new_window() {
    local id known
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        for known in "$@"; do [ "$id" = "$known" ] && continue 2; done
        echo "$id"
        return 0
    done
    return 1
}

# wait_shot_of <window id> <file> <what> <check...>: wait_shot for another window.
wait_shot_of() {
    local win=$1 file=$2 what=$3
    shift 3
    wait_until "$what" _shot_of_and_check "$win" "$file" "$@"
}
_shot_of_and_check() { import -window "$1" "$2" 2>/dev/null && "${@:3}"; }

# contrast <file> <x> <y> <w> <h>: "ratio fg bg" of the text in a rectangle: the background
# is its most frequent colour, the text the pixel farthest from it in luminance; the ratio
# is the WCAG contrast of the two (1 to 21).
contrast() {
    area_pixels "$@" | awk '
        function lin(c) { c /= 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ^ 2.4 }
        function lum(r, g, b) { return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b) }
        { key = $3 "," $4 "," $5; n[key]++; L[key] = lum($3, $4, $5) }
        END {
            for (k in n) if (n[k] > best) { best = n[k]; bg = k }
            for (k in n) { d = L[k] - L[bg]; if (d < 0) d = -d; if (d > far) { far = d; fg = k } }
            hi = L[fg] > L[bg] ? L[fg] : L[bg]; lo = L[fg] > L[bg] ? L[bg] : L[fg]
            printf "%.2f %s %s\n", (hi + 0.05) / (lo + 0.05), fg, bg }'
}
