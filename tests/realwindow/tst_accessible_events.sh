#!/bin/bash
# The in-process accessibility tests on a platform with Qt's AT-SPI bridge (xcb), where
# the events the controls send reach the test's handler; offscreen has no bridge.
# Usage: tst_accessible_events.sh <path to tst_accessible>
source "$(dirname "$0")/xvfb.sh"
a11y_session "$0" "$@"
start_xvfb
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
LAUNCHER_PID=$!
trap 'cleanup || true; kill "$LAUNCHER_PID" 2>/dev/null || true' EXIT
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$1" -platform xcb 2>&1 | tee "/tmp/kanavox-a11y-events.$$.log"
rc=${PIPESTATUS[0]}
# Every event test must have run here.
if grep -q "^SKIP" "/tmp/kanavox-a11y-events.$$.log"; then
    rm -f "/tmp/kanavox-a11y-events.$$.log"
    fail "event tests were skipped: the bridge is not active"
fi
rm -f "/tmp/kanavox-a11y-events.$$.log"
exit "$rc"
