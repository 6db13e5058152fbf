#!/bin/bash
# Kanavox against two bare Qt windows of the same size with one painted bar, built in the
# same tree with the same Qt and flags, side by side in one private Xvfb: the floor, which
# also draws one line of Japanese text in the face Kanavox's window font resolves to, and
# the same window without any text. Prints one table row per figure: the medians of all
# three, Kanavox's ratio to each, the goal and whether it is met.
#   bench/run.sh                 all figures; 21 start-ups per program, fewer runs for the slower ones
#   BENCH_RUNS=5 bench/run.sh    fewer runs of everything
#   BENCH_ONLY=startup bench/run.sh   the start-up rows alone
# Start-ups run in alternating rounds (one of each program per round, the order flipping
# every round), so that all three share whatever else the machine is doing at the time.
# Builds the benchmark programs in build/ first (configuring it when needed).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
RUNS=${BENCH_RUNS:-15}
START_RUNS=${BENCH_RUNS:-21}
SMALL_RUNS=$(( RUNS < 3 ? RUNS : 3 ))
ONLY=${BENCH_ONLY:-}

scripts/deps.sh bench >/dev/null
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target kanavox bench_kanavox bench_reference bench_reference_bare bench_spawn bench_onscreen >/dev/null

source tests/realwindow/xvfb.sh
start_xvfb
WORK=$(mktemp -d /tmp/kanavox-bench.XXXXXX)
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
PROGRAMS=(kanavox reference reference_bare)
for p in "${PROGRAMS[@]}"; do
    mkdir "$WORK/$p"
    cp "build/bench/bench_$p" "$WORK/$p/"
done
cp build/app/kanavox "$WORK/kanavox/kanavox"
SPAWN="$ROOT/build/bench/bench_spawn"
ONSCREEN="$ROOT/build/bench/bench_onscreen"
# The bar's colour at a client point away from its buttons and text.
BAR_X=100 BAR_Y=420 BAR_RGB=86c2d9
ELEVEN='[Position]\r\nMainTop=0\r\nMainLeft=0\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n'
settings_normal() { printf "$ELEVEN" >"$WORK/kanavox/Kanavox.ini"; }
settings_normal
LOAD_BEFORE=$(cut -d" " -f1-3 /proc/loadavg)

median() {
    sort -n | awk '{ a[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'
}
# field <name>: the values of the output lines "<name> v v v", one per line.
field() { awk -v n="$1" '$1 == n { for (i = 2; i <= NF; i++) print $i }'; }
# pair_ratio <file a> <file b> <field>: the median of the per-round ratios a / b.
pair_ratio() {
    paste <(field "$3" <"$1") <(field "$3" <"$2") | awk '$2 > 0 { printf "%.4f\n", $1 / $2 }' | median |
        awk '{ printf "%.2f", $1 }'
}

# run_mode <program> <args...>: runs a measuring mode to its end, prints its output.
run_mode() {
    local p=$1; shift
    ( cd "$WORK/$p" && exec "$SPAWN" "./bench_$p" "$@" ) 2>>"$WORK/stderr.log"
}
# run_onscreen <program>: one start-up watched from outside: fork to mapped and to the
# bar's colour on screen. Kanavox runs as the installed program does.
run_onscreen() {
    local exe="./bench_$1"
    [ "$1" = kanavox ] && exe=./kanavox
    ( cd "$WORK/$1" && exec "$ONSCREEN" "$BAR_X" "$BAR_Y" "$BAR_RGB" 2 "$exe" ) 2>>"$WORK/stderr.log"
}

# start_running <program>: starts the program in "run" mode; sets RUN_PID and WIN_ID.
start_running() {
    ( cd "$WORK/$1" && exec "./bench_$1" run ) 2>>"$WORK/stderr.log" &
    RUN_PID=$!
    APP_PID=$RUN_PID
    local name=$MAIN_WINDOW_NAME
    [ "$1" != kanavox ] && name='^Reference$'
    WIN_ID=$(xdotool search --sync --onlyvisible --name "$name" | head -1)
}
stop_running() { kill "$RUN_PID" 2>/dev/null || true; wait "$RUN_PID" 2>/dev/null || true; }

# Wake-ups of all threads: voluntary and involuntary context switches.
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
cpu_ticks() { awk '{ print $14 + $15 }' /proc/"$1"/stat; }
peak_kb() { awk '/VmHWM/ { print $2 }' /proc/"$1"/status; }

ROWS=()
ratio_of() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == "-" || a == "-" || b + 0 == 0) print "-"; else printf "%.2f", a / b }'; }
# row <figure> <kanavox> <floor> <bare> <unit> <goal text> <met: yes/no> [ratio to floor]
# The ratio to the floor is that of the medians unless given (start-up: of the rounds).
row() {
    local rf rb
    rf=${8:-$(ratio_of "$2" "$3")}
    rb=$(ratio_of "$2" "$4")
    ROWS+=("$1|$2 $5|$([ "$3" = - ] && echo - || echo "$3 $5")|$rf|$([ "$4" = - ] && echo - || echo "$4 $5")|$rb|$6|$7")
}
yes_if() { awk "BEGIN { exit !($1) }" && echo yes || echo NO; }
ms() { awk -v u="$1" 'BEGIN { printf "%.2f", u / 1000 }'; }
# medians_ms <field> <file prefix>: sets K R B to the medians of the three programs, in ms.
medians_ms() {
    K=$(ms "$(field "$1" <"$2.kanavox" | median)")
    R=$(ms "$(field "$1" <"$2.reference" | median)")
    B=$(ms "$(field "$1" <"$2.reference_bare" | median)")
}
# rounds <n> <command> <file prefix>: n rounds of <command> <program> for all three
# programs, appending each one's output to <prefix>.<program>; the order flips each round.
rounds() {
    local n=$1 cmd=$2 out=$3 i p order
    for p in "${PROGRAMS[@]}"; do : >"$out.$p"; done
    for i in $(seq 1 "$n"); do
        order=("${PROGRAMS[@]}")
        (( i % 2 == 0 )) && order=(reference_bare reference kanavox)
        for p in "${order[@]}"; do
            $cmd "$p" >>"$out.$p" || echo "warning: $cmd $p failed" >&2
        done
    done
}

echo "== start-up, measured inside: exec to the first flushed paint ($START_RUNS rounds)" >&2
first_paint() { run_mode "$1" first-paint; }
rounds "$START_RUNS" first_paint "$WORK/start"
medians_ms first_paint_us "$WORK/start"
pr=$(pair_ratio "$WORK/start.kanavox" "$WORK/start.reference" first_paint_us)
row "start-up to first paint (inside)" "$K" "$R" "$B" ms "ratio to floor <= 1.1" "$(yes_if "$pr <= 1.1")" "$pr"
SK=$K

echo "== start-up, watched from outside: fork to mapped, to the bar on screen ($START_RUNS rounds)" >&2
rounds "$START_RUNS" run_onscreen "$WORK/screen"
medians_ms mapped_us "$WORK/screen"
row "fork to window mapped (outside)" "$K" "$R" "$B" ms "-" - "$(pair_ratio "$WORK/screen.kanavox" "$WORK/screen.reference" mapped_us)"
medians_ms shown_us "$WORK/screen"
pr=$(pair_ratio "$WORK/screen.kanavox" "$WORK/screen.reference" shown_us)
row "fork to first frame on screen (outside)" "$K" "$R" "$B" ms "ratio to floor <= 1.1" "$(yes_if "$pr <= 1.1")" "$pr"
medians_ms cpu_us "$WORK/screen"
pr=$(pair_ratio "$WORK/screen.kanavox" "$WORK/screen.reference" cpu_us)
row "CPU time to first frame, all threads (outside)" "$K" "$R" "$B" ms "ratio to floor <= 1.1" "$(yes_if "$pr <= 1.1")" "$pr"
mem_k=$(field vmhwm_kb <"$WORK/screen.kanavox" | median); mem_r=$(field vmhwm_kb <"$WORK/screen.reference" | median)
mem_b=$(field vmhwm_kb <"$WORK/screen.reference_bare" | median)
mk=$(awk -v v="$mem_k" 'BEGIN { printf "%.1f", v / 1024 }'); mr=$(awk -v v="$mem_r" 'BEGIN { printf "%.1f", v / 1024 }')
mb=$(awk -v v="$mem_b" 'BEGIN { printf "%.1f", v / 1024 }')
row "peak memory at the first frame (VmHWM)" "$mk" "$mr" "$mb" MiB "ratio to floor <= 1.1" "$(yes_if "$mem_k / $mem_r <= 1.1")"

if [ "$ONLY" != startup ]; then
echo "== one typed character, 64-character password ($SMALL_RUNS rounds of 64 keys each)" >&2
typing() { run_mode "$1" typing 64; }
rounds "$SMALL_RUNS" typing "$WORK/type"
medians_ms typing_us "$WORK/type"
row "typed char to repainted reading" "$K" "$R" "$B" ms "median < 4 ms" "$(yes_if "$K < 4")"

for chars in 100000 1000000; do
    runs=$SMALL_RUNS; repeats=3
    [ "$chars" = 1000000 ] && { runs=$(( SMALL_RUNS < 2 ? SMALL_RUNS : 2 )); repeats=2; }
    echo "== Ctrl+V of $chars characters ($runs rounds of $repeats pastes)" >&2
    paste_run() { run_mode "$1" paste "$chars" "$repeats"; }
    rounds "$runs" paste_run "$WORK/paste"
    medians_ms paste_us "$WORK/paste"; pk=$K pr=$R pb=$B
    medians_ms typing_after_paste_us "$WORK/paste"
    if [ "$chars" = 100000 ]; then
        row "Ctrl+V of 100 000 chars" "$pk" "$pr" "$pb" ms "< 50 ms" "$(yes_if "$pk < 50")"
        row "typed char after 100 000-char paste" "$K" "$R" "$B" ms "< 16.7 ms (a frame)" "$(yes_if "$K < 16.7")"
    else
        row "Ctrl+V of 1 000 000 chars" "$pk" "$pr" "$pb" ms "< 400 ms" "$(yes_if "$pk < 400")"
        row "typed char after 1 000 000-char paste" "$K" "$R" "$B" ms "< 16.7 ms (no freeze)" "$(yes_if "$K < 16.7")"
    fi
done

echo "== idle and hover, peak memory ($SMALL_RUNS rounds of 5 s each, after 11 s focused)" >&2
for f in blink idle hover mem; do
    for p in "${PROGRAMS[@]}"; do : >"$WORK/$f.$p"; done
done
TCK=$(getconf CLK_TCK)
for _ in $(seq 1 "$SMALL_RUNS"); do
    for p in "${PROGRAMS[@]}"; do
        xdotool mousemove 1200 1000
        start_running "$p"
        # Focused, as a user leaves it: the edit's caret blinks for 10 s after the last
        # input and then stops, so the count starts after that.
        xdotool windowfocus --sync "$WIN_ID"
        sleep 1
        s0=$(switches "$RUN_PID"); sleep 3; s1=$(switches "$RUN_PID")
        awk -v a="$s0" -v b="$s1" 'BEGIN { print (b - a) / 3 }' >>"$WORK/blink.$p"
        sleep 7
        s0=$(switches "$RUN_PID"); sleep 5; s1=$(switches "$RUN_PID")
        awk -v a="$s0" -v b="$s1" 'BEGIN { print (b - a) / 5 }' >>"$WORK/idle.$p"
        # The copy button's middle (the window stands at 0,0 without a window manager).
        xdotool mousemove $(control_point btnCopy)
        sleep 1
        c0=$(cpu_ticks "$RUN_PID"); sleep 5; c1=$(cpu_ticks "$RUN_PID")
        awk -v a="$c0" -v b="$c1" -v t="$TCK" 'BEGIN { print 100 * (b - a) / t / 5 }' >>"$WORK/hover.$p"
        peak_kb "$RUN_PID" >>"$WORK/mem.$p"
        stop_running
    done
done
# plain <file prefix>: sets K R B to the medians of the three programs' values.
plain() { K=$(median <"$1.kanavox"); R=$(median <"$1.reference"); B=$(median <"$1.reference_bare"); }
plain "$WORK/blink"
row "wake-ups per second, first 4 s focused" "$K" "$R" "$B" /s "(the caret blinks)" -
plain "$WORK/idle"
row "wake-ups per second, idle after 11 s" "$K" "$R" "$B" /s "0" "$(yes_if "$K == 0")"
plain "$WORK/hover"
row "CPU, pointer resting on btnCopy" "$K" "$R" "$B" % "< 1 % of a core" "$(yes_if "$K < 1")"
for p in "${PROGRAMS[@]}"; do awk '{ printf "%.1f\n", $1 / 1024 }' "$WORK/mem.$p" >"$WORK/mib.$p"; done
plain "$WORK/mib"
row "peak memory after 22 s (VmHWM)" "$K" "$R" "$B" MiB "ratio to floor <= 1.1" "$(yes_if "$K / $R <= 1.1")"

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
    row "$label" "$hk" "$SK" - ms "< 1000 ms" "$(yes_if "$hk < 1000")"
done
settings_normal
fi

echo
echo "Kanavox $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- . 2>/dev/null || echo ' (with uncommitted changes)'), $(nproc) cores, load average before: $LOAD_BEFORE, after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Medians. floor = bare Qt window with one bar and one line of Japanese text in $(fc-match -f '%{family[0]}' 'IPAGothic');"
echo "bare = the same window without text. Start-up ratios to the floor are medians of the per-round ratios."
echo "(for the hostile settings files the floor column holds Kanavox's own start-up with a normal file)"
{
    echo "figure|kanavox|floor|ratio|bare|ratio|goal|met"
    printf '%s\n' "${ROWS[@]}"
} | column -t -s '|'
