#!/bin/bash
# Builds the libFuzzer targets with clang and runs each over its seed corpus.
#   fuzz/run.sh            60 s per target
#   fuzz/run.sh --short    about 30 s per target (the test command's run)
# Prints the executions of every target; exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
[ "${1:-}" = "--short" ] && seconds=30
cxx=$(command -v clang++-14 || command -v clang++)
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build build-fuzz -j2 >/dev/null
total=0
for target in fuzz_inifile fuzz_composer fuzz_addpath; do
    work=$(mktemp -d)
    cp tests/corpus/$target/* "$work"/
    log=build-fuzz/$target.log
    if ! build-fuzz/$target -max_total_time=$seconds -max_len=4096 -artifact_prefix=build-fuzz/$target- \
            "$work" >"$log" 2>&1; then
        tail -40 "$log"; echo "$target: FINDING (see $log)"; rm -rf "$work"; exit 1
    fi
    runs=$(grep -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' || echo 0)
    echo "$target: $runs executions in ${seconds}s, no finding"
    total=$((total + runs))
    rm -rf "$work"
done
echo "total executions: $total"
