#!/bin/bash
# An in-process Qt test on X11 (xcb) in an Xvfb of its own, where none of its tests may
# skip for want of X11.
# Usage: tst_xcb.sh <test program> [test functions...]
source "$(dirname "$0")/xvfb.sh"
start_xvfb
trap "cleanup || true" EXIT
log=$(mktemp /tmp/kanavox-xcb.XXXXXX)
rc=0
QT_QPA_PLATFORM=xcb "$@" -platform xcb 2>&1 | tee "$log" || rc=$?
skipped=$(grep -c "X11 only" "$log" || true)
rm -f "$log"
[ "$skipped" = 0 ] || fail "a test skipped although it ran on X11"
exit "$rc"
