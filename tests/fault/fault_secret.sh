#!/bin/bash
# The password never reaches the disk: the real program in a real X server, with its home,
# XDG and temporary directories in a scratch folder; a password is typed, copied and the
# window closed; then no file under the scratch folder, the program's folder or the
# system's temporary folders written since the start holds the password, in UTF-8 or
# UTF-16 (either byte order).
# Usage: fault_secret.sh <kanavox>
source "$(dirname "$0")/../realwindow/xvfb.sh"
start_xvfb
install_copy "$1"
SECRET=Kv7qZ3xW9pL2mN8r

scratch="$WORK/scratch"
mkdir -p "$scratch"/{home,config,cache,data,state,runtime,tmp}
chmod 700 "$scratch/runtime"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache" \
    XDG_DATA_HOME="$scratch/data" XDG_STATE_HOME="$scratch/state" XDG_RUNTIME_DIR="$scratch/runtime" \
    TMPDIR="$scratch/tmp"
marker="$WORK/.started"
touch "$marker"
# File times have a granularity: what the program writes must be newer than the marker.
ticked() { touch "$WORK/.tick" && [ "$WORK/.tick" -nt "$marker" ]; }
wait_until "file times do not advance" ticked
rm -f "$WORK/.tick"

# pattern <text> <utf8|utf16le|utf16be>: a grep -P pattern of the text's bytes.
pattern() {
    case "$2" in
        utf8) echo "$1" ;;
        utf16le) echo "$1" | sed 's/./&\\x00/g' ;;
        utf16be) echo "$1" | sed 's/./\\x00&/g' ;;
    esac
}
# holders <dir...>: files written since the start that hold the secret in any encoding.
holders() {
    local enc
    for enc in utf8 utf16le utf16be; do
        find "$@" -xdev -type f -newer "$marker" -size -64M -print0 2>/dev/null |
            LC_ALL=C xargs -0 -r grep -laP "$(pattern "$SECRET" "$enc")" 2>/dev/null || true
    done
}

note "the search finds the secret in each encoding (control)"
control="$scratch/tmp/control"
mkdir -p "$control"
printf 'x%sx' "$SECRET" >"$control/utf8"
printf '%s' "$SECRET" | iconv -t UTF-16LE >"$control/utf16le"
printf '%s' "$SECRET" | iconv -t UTF-16BE >"$control/utf16be"
found=$(holders "$control" | sort | tr '\n' ' ')
[ "$found" = "$control/utf16be $control/utf16le $control/utf8 " ] || fail "control search found: $found"
rm -rf "$control"

note "type, copy, close"
start_app
xdotool type --delay 20 --window "$WIN" "$SECRET"
click_control btnCopy
copied() { [ "$(clipboard_text | head -1 | tr -d '\r')" = "$SECRET" ]; }
poll copied || fail "the copy did not reach the clipboard (got '$(clipboard_text | head -1 | tr -d '\r')')"
# Copied twice and pasted back, as a user may.
xdotool key --window "$WIN" ctrl+v
click_control btnCopy
click_control btnEnd
wait_exit
[ -f "$INI" ] || fail "the program wrote no settings file"
written=$(find "$WORK" /tmp /var/tmp /dev/shm -xdev -type f -newer "$marker" 2>/dev/null | grep -c . || true)
echo "   files written since the start under the scanned folders: $written"

note "no written file holds the secret"
found=$(holders "$WORK" /tmp /var/tmp /dev/shm | sort -u)
[ -z "$found" ] || fail "the password is in: $found"
echo "PASS: fault_secret"
