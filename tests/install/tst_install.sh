#!/bin/bash
# A per-user style install into a scratch prefix: the program folder with the executable,
# the launcher, the desktop entry, the icons and the metainfo, all valid.
# Usage: tst_install.sh <build dir> <version>
set -euo pipefail
build=$1
version=$2
prefix=$(mktemp -d /tmp/kanavox-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
# The program folder holds the executable (its settings file will live beside it).
prog=$(find "$prefix" -path '*/kanavox/kanavox' -type f -perm -u+x | head -1)
[ -n "$prog" ] || fail "no program folder with the executable"
[ -x "$prefix/bin/kanavox" ] || fail "no launcher"
[ "$("$prefix/bin/kanavox" --version)" = "Kanavox Ver.$version" ] || fail "launcher does not start the program"
desktop="$prefix/share/applications/jp.kanavox.Kanavox.desktop"
meta="$prefix/share/metainfo/jp.kanavox.Kanavox.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$meta" ] || fail "no metainfo"
desktop-file-validate "$desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$meta" || fail "metainfo invalid"
grep -qx 'Name=Kanavox' "$desktop" || fail "desktop entry name"
grep -qx 'Categories=Utility;Security;' "$desktop" || fail "desktop entry categories"
grep -qF "<release version=\"$version\"" "$meta" || fail "release $version missing"
for size in 16 32 48 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/jp.kanavox.Kanavox.png"
    [ -f "$icon" ] || fail "no ${size}px icon"
done
# The installed program itself answers.
[ "$("$prog" --version)" = "Kanavox Ver.$version" ] || fail "installed program does not answer --version"
echo "PASS: tst_install"
