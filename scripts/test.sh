#!/bin/bash
# Builds Kanavox and runs every test: the whole suite in a normal build and again with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the short fuzz runs.
# Tests that need a display start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== tests with sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKANAVOX_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

if [ -x fuzz/run.sh ]; then
    echo "== fuzzing (short)"
    fuzz/run.sh --short
fi
