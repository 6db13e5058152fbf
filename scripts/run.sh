#!/bin/bash
# Builds Kanavox and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKANAVOX_BUILD_TESTS=OFF >/dev/null
cmake --build build --target kanavox
exec build/app/kanavox "$@"
