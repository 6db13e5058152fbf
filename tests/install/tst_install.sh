#!/bin/bash
# A per-user install under a scratch ~/.local: the program folder with the executable,
# the launcher, the desktop entry, the icons, the metainfo, the manual page and the
# documents, all valid; the desktop entry starts this install's program, as the
# applications menu would. Then the entry of a custom prefix whose path needs quoting, and
# of a /usr/local install staged under DESTDIR.
# Usage: tst_install.sh <build dir> <version>
source "$(dirname "$0")/../realwindow/xvfb.sh"
source "$(dirname "$0")/menu_entry.sh"
build=$1
version=$2
WORK=$(mktemp -d /tmp/kanavox-install.XXXXXX)
trap cleanup EXIT
home="$WORK/home"
prefix="$home/.local"
mkdir -p "$home"

note "installed under $prefix"
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
# Hints are suggestions; errors and warnings are faults.
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop entry invalid: $out"
grep -E 'error:|warning:' <<<"$out" && fail "desktop entry has errors or warnings"
out=$(appstreamcli validate --no-net "$meta" 2>&1) || fail "metainfo invalid: $out"
grep -E '^[EW]:' <<<"$out" && fail "metainfo has errors or warnings"
grep -qx 'Name=Kanavox' "$desktop" || fail "desktop entry name"
grep -qx 'Categories=Utility;Security;' "$desktop" || fail "desktop entry categories"
grep -qF "<release version=\"$version\"" "$meta" || fail "release $version missing"
grep -qF '<project_license>MIT</project_license>' "$meta" || fail "metainfo licence"
for size in 16 32 48 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/jp.kanavox.Kanavox.png"
    [ -f "$icon" ] || fail "no ${size}px icon"
done
# The installed program itself answers.
[ "$("$prog" --version)" = "Kanavox Ver.$version" ] || fail "installed program does not answer --version"
# The manual page names this install's settings file; the documents are there.
man="$prefix/share/man/man1/kanavox.1.gz"
[ -f "$man" ] || fail "no manual page"
zcat "$man" | grep -qF "$(dirname "$prog")/Kanavox.ini" || fail "the manual page does not name $(dirname "$prog")/Kanavox.ini"
zcat "$prefix/share/doc/kanavox/changelog.gz" | head -1 | grep -qF "kanavox ($version)" ||
    fail "the changelog's newest entry is not $version"
grep -q '^License: Expat' "$prefix/share/doc/kanavox/copyright" || fail "no licence in the copyright file"

note "started from the menu entry"
menu_command "$desktop" ""
menu_icon "$desktop" "$prefix/share"
start_xvfb
start_program env -u XDG_CONFIG_HOME HOME="$home" "${MENU_CMD[@]}"
# The launcher and env replace themselves, so the process that showed the window is the
# one started; it must be the program of this install.
shown=$(readlink -f "/proc/$APP_PID/exe")
echo "   window $WIN shown by $shown"
[ "$shown" = "$(readlink -f "$prog")" ] || fail "the menu entry started $shown, not $prog"

note "a custom prefix with a blank and a dollar in its path"
custom="$WORK/opt/Kana vox\$1"
cmake --install "$build" --prefix "$custom" >/dev/null
entry="$custom/share/applications/jp.kanavox.Kanavox.desktop"
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop entry invalid: $out"
menu_command "$entry" ""
[ "${MENU_CMD[0]}" = "$custom/bin/kanavox" ] || fail "the entry names ${MENU_CMD[0]}, not $custom/bin/kanavox"
[ "$("${MENU_CMD[@]}" --version)" = "Kanavox Ver.$version" ] || fail "the menu entry does not start the program"

note "/usr/local, staged under DESTDIR"
stage="$WORK/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr/local >/dev/null
entry="$stage/usr/local/share/applications/jp.kanavox.Kanavox.desktop"
grep -qx 'Exec=kanavox' "$entry" || fail "a launcher on the PATH is not named by its bare name: $(grep '^Exec=' "$entry")"
menu_command "$entry" "$stage"
[ "${MENU_CMD[0]}" = "$stage/usr/local/bin/kanavox" ] || fail "the entry runs ${MENU_CMD[0]}"
[ "$("${MENU_CMD[@]}" --version)" = "Kanavox Ver.$version" ] || fail "the menu entry does not start the program"
echo "PASS: tst_install"
