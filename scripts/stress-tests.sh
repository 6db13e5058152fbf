#!/bin/bash
# Runs the real-window and fault tests again and again while stress-ng keeps the CPUs busy,
# to find the tests that fail only on a loaded machine, and prints for each test how many
# runs it had and how many of them failed.
# Usage: scripts/stress-tests.sh [-n runs] [-b build dir] [-R ctest regex] [-j jobs]
#                                [-c stress-ng cpu workers, 0 for no load]
# Defaults: 5 runs of build/, ctest -j2, stress-ng --cpu 2. The environment reaches the
# tests as it is (ASAN_OPTIONS for a sanitizer build, for instance). Every run's ctest
# output is kept in <build dir>/Testing/stress-<time>/.
set -uo pipefail
cd "$(dirname "$0")/.."

runs=5 build=build jobs=2 cpu=2
tests='^(realwindow_|fault_|tst_fault_|install_deb$)'
while getopts "n:b:R:j:c:" opt; do
    case "$opt" in
        n) runs=$OPTARG ;;
        b) build=$OPTARG ;;
        R) tests=$OPTARG ;;
        j) jobs=$OPTARG ;;
        c) cpu=$OPTARG ;;
        *) sed -n '5,6p' "$0" >&2; exit 2 ;;
    esac
done
[ -f "$build/CTestTestfile.cmake" ] || { echo "no configured build in $build" >&2; exit 2; }
scripts/deps.sh stress || exit 1

logs="$build/Testing/stress-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$logs"
LOAD_PID=
trap '[ -n "$LOAD_PID" ] && kill "$LOAD_PID" 2>/dev/null; wait 2>/dev/null' EXIT
if [ "$cpu" -gt 0 ]; then
    # Bounded in time as well, should this script be killed without its trap running.
    stress-ng --cpu "$cpu" --timeout "$(( runs * 3600 ))s" --quiet &
    LOAD_PID=$!
fi
echo "== $runs runs of ctest -j$jobs -R '$tests' in $build, stress-ng --cpu $cpu; logs in $logs"

declare -A seen failed slowest
order=()
for run in $(seq 1 "$runs"); do
    start=$SECONDS
    ctest --test-dir "$build" -j"$jobs" -R "$tests" --output-on-failure >"$logs/run-$run.log" 2>&1
    bad=()
    # Result lines: " 3/24 Test #19: realwindow_spine ........   Passed    3.40 sec"
    while read -r name result secs; do
        [ -n "${seen[$name]:-}" ] || { order+=("$name"); seen[$name]=0; failed[$name]=0; slowest[$name]=0; }
        seen[$name]=$(( seen[$name] + 1 ))
        [ "$result" = Passed ] || { failed[$name]=$(( failed[$name] + 1 )); bad+=("$name"); }
        awk -v a="$secs" -v b="${slowest[$name]}" 'BEGIN { exit !(a > b) }' && slowest[$name]=$secs
    done < <(sed -nE 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: ([^ ]+) [ .]*[*]*([A-Za-z]+)[^0-9]*([0-9.]+) sec.*/\1 \2 \3/p' \
        "$logs/run-$run.log")
    echo "run $run: $(( SECONDS - start )) s, failed: ${bad[*]:-none}"
done

echo "== results ($runs runs, stress-ng --cpu $cpu)"
printf '%-34s %5s %9s %12s\n' test runs failures "slowest (s)"
total=0
for name in $(printf '%s\n' "${order[@]}" | sort); do
    printf '%-34s %5s %9s %12s\n' "$name" "${seen[$name]}" "${failed[$name]}" "${slowest[$name]}"
    total=$(( total + failed[$name] ))
done
echo "failures in all: $total"
[ "$total" -eq 0 ]
