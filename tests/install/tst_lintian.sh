#!/bin/bash
# The Debian package as Debian's own checker sees it: lintian prints no error and no
# warning (its informational notes are shown, not held against it).
# Usage: tst_lintian.sh <build dir>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/kanavox-lintian.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/*.deb)
echo "-- lintian $(basename "$deb")"
# lintian's exit status follows its own fail-on setting; the lines are what is judged.
# (As root it also warns about running as root, on stderr: not about the package.)
report=$(lintian --tag-display-limit 0 --display-info "$deb" 2>"$work/lintian.err") || true
[ -s "$work/lintian.err" ] && sed 's/^/   (stderr) /' "$work/lintian.err"
grep -v 'running with root privileges' "$work/lintian.err" | grep -q . && fail "lintian did not run cleanly"
[ -n "$report" ] && sed 's/^/   /' <<<"$report"
grep -E '^[EW]: ' <<<"$report" && fail "lintian reports errors or warnings"
echo "PASS: tst_lintian ($(grep -c '^I: ' <<<"$report" || true) informational notes)"
