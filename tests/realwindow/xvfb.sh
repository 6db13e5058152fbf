#!/bin/bash
# Shared helpers for the real-window tests: an Xvfb of our own, the program copied into
# a fresh folder, and small checks. Sourced by the test scripts.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

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
        for _ in $(seq 1 100); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "$XVFB_PID" ] && xdpyinfo >/dev/null 2>&1 && break
            sleep 0.05
        done
        if kill -0 "$XVFB_PID" 2>/dev/null && [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "$XVFB_PID" ] &&
            xdpyinfo >/dev/null 2>&1; then
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
    start_program ./kanavox
}

# start_program <command...>: runs the command in $WORK and waits for the main window.
start_program() {
    ( cd "$WORK" && exec "$@" ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    local i
    for i in $(seq 1 200); do
        WIN=$(xdotool search --onlyvisible --name "$MAIN_WINDOW_NAME" 2>/dev/null | head -1 || true)
        [ -n "$WIN" ] && break
        kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log" >&2; fail "the program ended before its window appeared"; }
        sleep 0.05
    done
    [ -n "$WIN" ] || fail "main window did not appear"
    xdotool windowfocus --sync "$WIN" >/dev/null 2>&1 || true
    sleep 0.3
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

# window_named <regex>: ids of visible windows whose name matches.
window_named() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null || true
}

# close_error_box <window id>: focuses the error box (no window manager to do it), answers
# it with Return and fails unless it goes within 6 s.
close_error_box() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key Return
    for _ in $(seq 1 60); do
        [ -z "$(window_named '^Kanavox$')" ] && break
        sleep 0.1
    done
    [ -z "$(window_named '^Kanavox$')" ] || fail "the error box did not close"
}

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
