#!/bin/bash
# Kanavox against a bare Qt window of the same size with one painted bar, built in the
# same tree with the same Qt and flags, side by side in one private Xvfb. Prints one table
# row per figure: the medians of both, their ratio, the goal and whether it is met.
#   bench/run.sh            15 start-ups per program, fewer runs for the slower figures
#   BENCH_RUNS=5 bench/run.sh
# Builds the benchmark programs in build/ first (configuring it when needed).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
RUNS=${BENCH_RUNS:-15}
SMALL_RUNS=$(( RUNS < 3 ? RUNS : 3 ))

scripts/deps.sh test >/dev/null
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_kanavox bench_reference bench_spawn >/dev/null

source tests/realwindow/xvfb.sh
start_xvfb
WORK=$(mktemp -d /tmp/kanavox-bench.XXXXXX)
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
for p in kanavox reference; do
    mkdir "$WORK/$p"
    cp "build/bench/bench_$p" "$WORK/$p/"
done
SPAWN="$ROOT/build/bench/bench_spawn"
ELEVEN='[Position]\r\nMainTop=0\r\nMainLeft=0\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n'
settings_normal() { printf "$ELEVEN" >"$WORK/kanavox/Kanavox.ini"; }
settings_normal

median() {
    sort -n | awk '{ a[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'
}
# field <name>: the values of the output lines "<name> v v v", one per line.
field() { awk -v n="$1" '$1 == n { for (i = 2; i <= NF; i++) print $i }'; }

# run_mode <program> <args...>: runs a measuring mode to its end, prints its output.
run_mode() {
    local p=$1; shift
    ( cd "$WORK/$p" && exec "$SPAWN" "./bench_$p" "$@" ) 2>>"$WORK/stderr.log"
}

# start_running <program>: starts the program in "run" mode; sets RUN_PID and WIN_ID.
start_running() {
    ( cd "$WORK/$1" && exec "./bench_$1" run ) 2>>"$WORK/stderr.log" &
    RUN_PID=$!
    APP_PID=$RUN_PID
    local name='^Kanavox Ver\.0\.07$'
    [ "$1" = reference ] && name='^Reference$'
    WIN_ID=$(xdotool search --sync --onlyvisible --name "$name" | head -1)
}
stop_running() { kill "$RUN_PID" 2>/dev/null || true; wait "$RUN_PID" 2>/dev/null || true; }

# Wake-ups of all threads: voluntary and involuntary context switches.
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
cpu_ticks() { awk '{ print $14 + $15 }' /proc/"$1"/stat; }
peak_kb() { awk '/VmHWM/ { print $2 }' /proc/"$1"/status; }

ROWS=()
# row <figure> <kanavox> <reference> <unit> <goal text> <met: yes/no>
row() {
    local ratio
    ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { if (b == "-" || b + 0 == 0) print "-"; else printf "%.2f", a / b }')
    ROWS+=("$1|$2 $4|$([ "$3" = - ] && echo - || echo "$3 $4")|$ratio|$5|$6")
}
yes_if() { awk "BEGIN { exit !($1) }" && echo yes || echo NO; }
ms() { awk -v u="$1" 'BEGIN { printf "%.2f", u / 1000 }'; }

echo "== start-up to the first painted frame ($RUNS runs each)" >&2
: >"$WORK/start.k"; : >"$WORK/start.r"
for _ in $(seq 1 "$RUNS"); do
    run_mode kanavox first-paint >>"$WORK/start.k"
    run_mode reference first-paint >>"$WORK/start.r"
done
sk=$(ms "$(field first_paint_us <"$WORK/start.k" | median)")
sr=$(ms "$(field first_paint_us <"$WORK/start.r" | median)")
row "start-up to first paint" "$sk" "$sr" ms "ratio <= 1.2" "$(yes_if "$sk / $sr <= 1.2")"

echo "== one typed character, 64-character password ($SMALL_RUNS runs of 64 keys each)" >&2
: >"$WORK/type.k"; : >"$WORK/type.r"
for _ in $(seq 1 "$SMALL_RUNS"); do
    run_mode kanavox typing 64 >>"$WORK/type.k"
    run_mode reference typing 64 >>"$WORK/type.r"
done
tk=$(ms "$(field typing_us <"$WORK/type.k" | median)")
tr=$(ms "$(field typing_us <"$WORK/type.r" | median)")
row "typed char to repainted reading" "$tk" "$tr" ms "median < 4 ms" "$(yes_if "$tk < 4")"

for chars in 100000 1000000; do
    runs=$SMALL_RUNS; repeats=3
    [ "$chars" = 1000000 ] && { runs=$(( SMALL_RUNS < 2 ? SMALL_RUNS : 2 )); repeats=2; }
    echo "== Ctrl+V of $chars characters ($runs runs of $repeats pastes)" >&2
    : >"$WORK/paste.k"; : >"$WORK/paste.r"
    for _ in $(seq 1 "$runs"); do
        run_mode kanavox paste "$chars" "$repeats" >>"$WORK/paste.k"
        run_mode reference paste "$chars" "$repeats" >>"$WORK/paste.r"
    done
    pk=$(ms "$(field paste_us <"$WORK/paste.k" | median)")
    pr=$(ms "$(field paste_us <"$WORK/paste.r" | median)")
    ak=$(ms "$(field typing_after_paste_us <"$WORK/paste.k" | median)")
    ar=$(ms "$(field typing_after_paste_us <"$WORK/paste.r" | median)")
    if [ "$chars" = 100000 ]; then
        row "Ctrl+V of 100 000 chars" "$pk" "$pr" ms "< 50 ms" "$(yes_if "$pk < 50")"
        row "typed char after 100 000-char paste" "$ak" "$ar" ms "< 16.7 ms (a frame)" "$(yes_if "$ak < 16.7")"
    else
        row "Ctrl+V of 1 000 000 chars" "$pk" "$pr" ms "< 400 ms" "$(yes_if "$pk < 400")"
        row "typed char after 1 000 000-char paste" "$ak" "$ar" ms "< 16.7 ms (no freeze)" "$(yes_if "$ak < 16.7")"
    fi
done

echo "== idle and hover, peak memory ($SMALL_RUNS runs of 5 s each, after 11 s focused)" >&2
: >"$WORK/blink.k"; : >"$WORK/blink.r"; : >"$WORK/idle.k"; : >"$WORK/idle.r"; : >"$WORK/hover.k"; : >"$WORK/hover.r"; : >"$WORK/mem.k"; : >"$WORK/mem.r"
TCK=$(getconf CLK_TCK)
for _ in $(seq 1 "$SMALL_RUNS"); do
    for p in kanavox reference; do
        xdotool mousemove 1200 1000
        start_running "$p"
        # Focused, as a user leaves it: the edit's caret blinks for 10 s after the last
        # input and then stops, so the count starts after that.
        xdotool windowfocus --sync "$WIN_ID"
        sleep 1
        s0=$(switches "$RUN_PID"); sleep 3; s1=$(switches "$RUN_PID")
        awk -v a="$s0" -v b="$s1" 'BEGIN { print (b - a) / 3 }' >>"$WORK/blink.${p:0:1}"
        sleep 7
        s0=$(switches "$RUN_PID"); sleep 5; s1=$(switches "$RUN_PID")
        awk -v a="$s0" -v b="$s1" 'BEGIN { print (b - a) / 5 }' >>"$WORK/idle.${p:0:1}"
        # The copy button's middle (the window stands at 0,0 without a window manager).
        xdotool mousemove 267 423
        sleep 1
        c0=$(cpu_ticks "$RUN_PID"); sleep 5; c1=$(cpu_ticks "$RUN_PID")
        awk -v a="$c0" -v b="$c1" -v t="$TCK" 'BEGIN { print 100 * (b - a) / t / 5 }' >>"$WORK/hover.${p:0:1}"
        peak_kb "$RUN_PID" >>"$WORK/mem.${p:0:1}"
        stop_running
    done
done
bk=$(median <"$WORK/blink.k"); br=$(median <"$WORK/blink.r")
row "wake-ups per second, first 4 s focused" "$bk" "$br" /s "(the caret blinks)" -
ik=$(median <"$WORK/idle.k"); ir=$(median <"$WORK/idle.r")
row "wake-ups per second, idle after 11 s" "$ik" "$ir" /s "0" "$(yes_if "$ik == 0")"
hk=$(median <"$WORK/hover.k"); hr=$(median <"$WORK/hover.r")
row "CPU, pointer resting on btnCopy" "$hk" "$hr" % "< 1 % of a core" "$(yes_if "$hk < 1")"
mk=$(awk '{ printf "%.1f\n", $1 / 1024 }' "$WORK/mem.k" | median); mr=$(awk '{ printf "%.1f\n", $1 / 1024 }' "$WORK/mem.r" | median)
row "peak memory (VmHWM)" "$mk" "$mr" MiB "ratio <= 1.25" "$(yes_if "$mk / $mr <= 1.25")"

echo "== start-up over hostile settings files ($SMALL_RUNS runs each)" >&2
for kind in sections random; do
    if [ "$kind" = sections ]; then
        awk 'BEGIN { for (i = 0; i < 100000; i++) printf "[S%d]\r\nk=%d\r\n", i, i }' >"$WORK/kanavox/Kanavox.ini"
    else
        head -c $((50 * 1024 * 1024)) /dev/urandom >"$WORK/kanavox/Kanavox.ini"
    fi
    : >"$WORK/hostile.k"
    for _ in $(seq 1 "$SMALL_RUNS"); do
        run_mode kanavox first-paint >>"$WORK/hostile.k"
    done
    hk=$(ms "$(field first_paint_us <"$WORK/hostile.k" | median)")
    label="start-up, Kanavox.ini of 100 000 sections"
    [ "$kind" = random ] && label="start-up, Kanavox.ini of 50 MB random bytes"
    row "$label" "$hk" "$sk" ms "< 1000 ms" "$(yes_if "$hk < 1000")"
done
settings_normal

echo
echo "Kanavox $(git rev-parse --short HEAD) against the bare Qt window; medians; ratio = Kanavox / reference"
echo "(for the hostile settings files the reference is Kanavox's own start-up with a normal file)"
{
    echo "figure|kanavox|reference|ratio|goal|met"
    printf '%s\n' "${ROWS[@]}"
} | column -t -s '|'
rm -rf "$WORK"
