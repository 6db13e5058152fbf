#!/bin/bash
# Instruction counts of the start-up, phase by phase, for Kanavox and for the floor (the
# bare window with one line of Japanese text), from callgrind in a private Xvfb. Counts
# are exact and repeatable, unlike wall-clock times on a busy machine.
#   bench/profile.sh           the phase table of both
#   bench/profile.sh --keep    also keeps the callgrind files (printed path) for
#                              callgrind_annotate
# A phase ends where the next one's first function is entered. Threads are counted
# apart: in Kanavox thread 2 loads the font configuration while thread 1 connects to the
# display, and thread 1 builds the window up to its first font before it waits for it
# ("window" ends, "window-fonts" begins, where the first font is made); the other threads are
# Qt's own (the X event reader, D-Bus).
set -euo pipefail
cd "$(dirname "$0")/.."
KEEP=${1:-}
scripts/deps.sh bench >/dev/null
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_kanavox bench_reference >/dev/null

source tests/realwindow/xvfb.sh
start_xvfb
WORK=$(mktemp -d /tmp/kanavox-profile.XXXXXX)
OUT=$WORK
[ "$KEEP" = --keep ] && OUT=$(mktemp -d /tmp/kanavox-callgrind.XXXXXX)
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
printf '[Position]\r\nMainTop=0\r\nMainLeft=0\r\n' >"$WORK/Kanavox.ini"
cp build/bench/bench_kanavox build/bench/bench_reference "$WORK/"

# profile <program> <phase name>=<first function> ...: one callgrind run, dumped where
# each phase begins; prints "<thread> <phase> <instructions>" per phase and thread
# (thread 1 is the main thread). A phase begins where its function is first entered;
# later calls of that function stay in whatever phase is running then.
profile() {
    local prog=$1; shift
    local args=() spec
    declare -A phase_of=()
    for spec in "$@"; do
        phase_of["${spec#*=}"]=${spec%%=*}
        args+=("--dump-before=${spec#*=}")
    done
    ( cd "$WORK" && valgrind --tool=callgrind --callgrind-out-file="$OUT/$prog.%p" --separate-threads=yes \
        --dump-instr=no "${args[@]}" "./$prog" first-paint ) \
        >"$WORK/$prog.log" 2>&1 || { cat "$WORK/$prog.log" >&2; return 1; }
    local f part thread trigger ir pid
    # Files are <prog>.<pid>[.<part>]-<thread>. Children the program forks (the D-Bus
    # session launcher) are left out: they only copy the counts of the threads.
    # The program's own files are the ones that reach the last phase; a child forked
    # earlier (the D-Bus launcher) carries the first triggers too.
    local last=${spec#*=}
    pid=$(grep -lF "desc: Trigger: --dump-before=$last" "$OUT/$prog".* | head -1 | sed 's/.*\.\([0-9]*\)\.[0-9]*-[0-9]*$/\1/')
    for f in "$OUT/$prog.$pid"*-*; do
        part=$(awk '/^part:/ { print $2 }' "$f")
        thread=$(awk '/^thread:/ { print $2 }' "$f")
        trigger=$(sed -n 's/^desc: Trigger: --dump-before=//p' "$f")
        ir=$(awk '/^summary:/ { print $2 }' "$f")
        echo "$thread ${part:-0} ${ir:-0} ${trigger:-end}"
    done | sort -k1,1n -k2,2n | awk -v specs="$(for k in "${!phase_of[@]}"; do printf '%s\t%s\n' "$k" "${phase_of[$k]}"; done)" '
        BEGIN { n = split(specs, lines, "\n"); for (i = 1; i <= n; i++) { split(lines[i], kv, "\t"); name[kv[1]] = kv[2] } }
        # A part ends where its trigger begins the next phase, so it belongs to the
        # phase that the trigger of the part before began.
        # Other threads are dumped only at the end: their counts cover the whole run.
        # The trigger is the rest of the line: function names may hold blanks.
        { trig = $0; sub(/^[^ ]+ [^ ]+ [^ ]+ /, "", trig)
          if ($1 != t) { t = $1; cur = t == 1 ? "before-main" : "whole-run" }
          sum[t, cur] += $3; if (!((t, cur) in seen)) { seen[t, cur] = 1; order[++m] = t SUBSEP cur }
          if (trig != "end" && t == 1 && !started[name[trig]]++) cur = name[trig] }
        END { for (i = 1; i <= m; i++) { split(order[i], k, SUBSEP); printf "thread%s %s %d\n", k[1], k[2], sum[k[1], k[2]] } }'
}

echo "== Kanavox" >&2
profile bench_kanavox \
    application='main' \
    icon='KanavoxIcon(QList<QImage> const&)' \
    window='TfmKanavox::TfmKanavox(QWidget*)' \
    window-fonts='TFontWarmup::Wait()' \
    show-to-first-paint='QWidget::show()' \
    first-paint='QWidgetRepaintManager::paintAndFlush()' >"$WORK/k.txt"
echo "== floor" >&2
profile bench_reference \
    application='main' \
    show-to-first-paint='QWidget::show()' \
    first-paint='QWidgetRepaintManager::paintAndFlush()' >"$WORK/r.txt"
# table: phase | Kanavox | floor, instructions in millions, phases in the order they ran.
awk 'FNR == 1 { f++ } { key = $1 " " $2; if (!(key in seen)) { seen[key] = 1; order[++n] = key } v[f, key] = $3 }
     END { printf "%-36s %10s %10s\n", "thread phase", "Kanavox", "floor"
           for (i = 1; i <= n; i++) { k = order[i]; tk += v[1, k]; tr += v[2, k]
               printf "%-36s %9.2fM %9.2fM\n", k, v[1, k] / 1e6, v[2, k] / 1e6 }
           printf "%-36s %9.2fM %9.2fM\n", "total", tk / 1e6, tr / 1e6 }' "$WORK/k.txt" "$WORK/r.txt"
[ "$KEEP" = --keep ] && echo "callgrind files in $OUT"
