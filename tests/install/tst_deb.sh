#!/bin/bash
# The Debian package: `cpack -G DEB` from the build gives a package of the program under
# /usr with its library dependencies, all present on this machine. Installed with dpkg
# into a scratch root (this machine's own package database and /usr stay untouched), it
# is used by an ordinary user (root drops to nobody) who cannot write the program's
# folder: the first start reads the packaged default beside the executable, the close
# writes ~/.config/Kanavox/Kanavox.ini, and the next start keeps the options. The first
# start is the one the applications menu makes from the installed desktop entry.
# Usage: tst_deb.sh <build dir> <version>
source "$(dirname "$0")/../realwindow/xvfb.sh"
source "$(dirname "$0")/menu_entry.sh"
build=$(cd "$1" && pwd)
version=$2
start_xvfb
WORK=$(mktemp -d /tmp/kanavox-deb.XXXXXX)
chmod 755 "$WORK"
root="$WORK/root"
trap '[ -d "$root/usr" ] && chmod -R u+w "$root/usr"; cleanup' EXIT

note "package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 ||
    { cat "$WORK/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$WORK"/pkg/*.deb)
echo "   $(basename "$deb"): $(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')"
[ "$(dpkg-deb -f "$deb" Package)" = kanavox ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for f in ./usr/bin/kanavox ./usr/lib/kanavox/kanavox ./usr/share/applications/jp.kanavox.Kanavox.desktop \
         ./usr/share/metainfo/jp.kanavox.Kanavox.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/jp.kanavox.Kanavox.png \
         ./usr/share/doc/kanavox/copyright ./usr/share/doc/kanavox/changelog.gz ./usr/share/man/man1/kanavox.1.gz; do
    grep -qx "$f" <<<"$contents" || fail "$f is not in the package"
done
grep -v '^\./usr/' <<<"$contents" && fail "files outside /usr"
depends=$(dpkg-deb -f "$deb" Depends)
echo "   Depends: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || fail "no dependency on Qt Widgets"
# Every dependency is met here, so the package installs on a machine like this one.
while read -r dep; do
    name=${dep%% *}
    have=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || fail "$name is not installed here"
    if [[ "$dep" =~ \(\>=\ (.*)\) ]]; then
        dpkg --compare-versions "$have" ge "${BASH_REMATCH[1]}" || fail "$name $have is older than ${BASH_REMATCH[1]}"
    fi
done < <(tr ',' '\n' <<<"$depends" | sed 's/^ *//')

note "installed into a scratch root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
# The scratch database knows none of the libraries; they are checked above.
dpkg_cmd=(dpkg --root="$root" --force-depends)
[ "$(id -u)" = 0 ] || dpkg_cmd=(fakeroot dpkg --root="$root" --force-depends --force-not-root)
"${dpkg_cmd[@]}" -i "$deb" >"$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg --root="$root" -s kanavox | grep -qx 'Status: install ok installed' || fail "not installed"
[ "$("$root/usr/bin/kanavox" --version)" = "Kanavox Ver.$version" ] || fail "the launcher does not start the program"
# The menu entry's command, resolved as the menu would on a machine with this package.
entry="$root/usr/share/applications/jp.kanavox.Kanavox.desktop"
menu_command "$entry" "$root"
menu_icon "$entry" "$root/usr/share"
[ "$("${MENU_CMD[@]}" --version)" = "Kanavox Ver.$version" ] || fail "the menu entry does not start this program"
# Made at install time under the package's prefix, not the one the build was configured for.
zcat "$root/usr/share/man/man1/kanavox.1.gz" | grep -qF '/usr/lib/kanavox/Kanavox.ini' ||
    fail "the manual page does not name the package's settings file"
zcat "$root/usr/share/doc/kanavox/changelog.gz" | head -1 | grep -qF "kanavox ($version)" ||
    fail "the changelog's newest entry is not $version"
# The administrator's default beside the executable: blank separator on.
printf '[Setting]\r\nSepBlank=1\r\n\r\n' >"$root/usr/lib/kanavox/Kanavox.ini"
[ "$(id -u)" = 0 ] || chmod -R a-w "$root/usr"
ordinary_user "$WORK/home"
user_ini="$WORK/home/.config/Kanavox/Kanavox.ini"
INI=$user_ini

note "first start, from the menu entry, by $(${RUN_AS[@]} id -un 2>/dev/null || id -un)"
start_program "${RUN_AS[@]}" "${MENU_CMD[@]}"
# setpriv, env and the launcher replace themselves: the window's process is the one started.
shown=$(readlink -f "/proc/$APP_PID/exe")
echo "   window $WIN shown by $shown"
[ "$shown" = "$root/usr/lib/kanavox/kanavox" ] || fail "the menu entry started $shown"
click_control chkNum 58 10   # on
click_control btnEnd
wait_exit
[ -z "$(window_named '^Kanavox$')" ] || fail "an error box is open"
want='[Setting]\r\nSepBlank=1\r\nMojiSyu=1\r\n1Mojigoto=1\r\nNum=1\r\nKigou=0\r\n\r\n[Position]\r\nMainTop=0\r\nMainLeft=0\r\n\r\n'
expect_file "$user_ini" "$want"
echo "   $user_ini owned by $(stat -c %U "$user_ini")"
[ "$(stat -c %u "$user_ini")" = "$(${RUN_AS[@]} id -u)" ] || fail "the user's file belongs to someone else"
[ "$(ls "$root/usr/lib/kanavox")" = "$(printf 'Kanavox.ini\nkanavox')" ] || fail "the program folder changed"
expect_file "$root/usr/lib/kanavox/Kanavox.ini" '[Setting]\r\nSepBlank=1\r\n\r\n'

note "second start, from the PATH: the options kept"
start_program "${RUN_AS[@]}" "$root/usr/bin/kanavox"
xdotool type --delay 30 --window "$WIN" "a1"
click_control btnCopy
wait_clipboard 'a1\r\n小文字:エー 数字:1' "reading under the kept options"
echo "   reading of a1: $(clipboard_text | tail -1)"
click_control btnEnd
wait_exit
expect_file "$user_ini" "$want"
echo "PASS: tst_deb"
