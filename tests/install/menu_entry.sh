#!/bin/bash
# The command a desktop's application menu runs for an installed desktop entry, found the
# way the menu finds it. Sourced by the install tests.

# menu_command <desktop file> <root>: sets MENU_CMD to the entry's Exec as arguments, its
# program resolved inside <root> (empty for the real /): a bare name on a desktop
# session's default PATH, a path as it is. Fails when the program is not there.
menu_command() {
    local entry=$1 root=$2 args program dir list
    [ -f "$entry" ] || fail "no desktop entry $entry"
    # Exec's string escapes first, then its quoting (double quotes, inside which a backslash
    # escapes " ` $ and itself); field codes would stand for files the menu passes, and
    # this entry takes none.
    list=$(mktemp)
    python3 - "$entry" >"$list" <<'PY' || { rm -f "$list"; fail "cannot read Exec of $entry"; }
import re, sys
group, value = None, None
for line in open(sys.argv[1], encoding="utf-8"):
    line = line.rstrip("\n")
    if line.startswith("["):
        group = line
    elif group == "[Desktop Entry]" and line.startswith("Exec="):
        value = line[len("Exec="):]
if value is None:
    sys.exit("no Exec key")
value = re.sub(r"\\([sntr\\])", lambda m: {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}[m.group(1)], value)
if re.search(r"%[^%]", value.replace("%%", "")):
    sys.exit("field code in Exec: " + value)
value = value.replace("%%", "%")
args, arg, quoted, i = [], None, False, 0
while i < len(value):
    c = value[i]
    if quoted and c == "\\" and i + 1 < len(value) and value[i + 1] in '"`$\\':
        arg, i = arg + value[i + 1], i + 2
        continue
    if c == '"':
        quoted, arg = not quoted, arg or ""
    elif c == " " and not quoted:
        if arg is not None:
            args.append(arg)
        arg = None
    else:
        arg = (arg or "") + c
    i += 1
if quoted:
    sys.exit("unbalanced quote in Exec")
if arg is not None:
    args.append(arg)
for a in args:
    sys.stdout.write(a + "\0")
PY
    mapfile -d '' args <"$list"
    rm -f "$list"
    [ ${#args[@]} -gt 0 ] || fail "empty Exec in $entry"
    echo "   Exec of $(basename "$entry"): $(grep -m1 '^Exec=' "$entry" | cut -d= -f2-)"
    if [[ "${args[0]}" == */* ]]; then
        program="$root${args[0]}"
    else
        # A desktop session's PATH unless the user's profile adds to it.
        program=
        for dir in /usr/local/bin /usr/bin /bin; do
            [ -x "$root$dir/${args[0]}" ] && { program="$root$dir/${args[0]}"; break; }
        done
    fi
    [ -n "$program" ] && [ -x "$program" ] || fail "the menu entry's program ${args[0]} is not installed${root:+ in $root}"
    MENU_CMD=("$program" "${args[@]:1}")
    echo "   runs: ${MENU_CMD[*]}"
}

# menu_icon <desktop file> <data dir>: the entry's Icon names an icon of the hicolor theme
# installed in the same data folder.
menu_icon() {
    local icon
    icon=$(grep -m1 '^Icon=' "$1" | cut -d= -f2-)
    [ -n "$icon" ] || fail "no Icon in $1"
    compgen -G "$2/icons/hicolor/*/apps/$icon.png" >/dev/null || fail "icon $icon is not installed in $2"
}
