#!/bin/bash
# The window as a screen reader meets it: a private session bus, the AT-SPI bus, and the
# accessible tree walked by pyatspi. Typed text reads back, the check boxes are found by
# name with their states, and the Toggle and Press actions change what the window shows.
# Usage: tst_accessibility.sh <path to kanavox>   (ATSPI_TREE=<file> keeps the tree)
source "$(dirname "$0")/xvfb.sh"
a11y_session "$0" "$@"
WALK=(/usr/bin/python3 "$(dirname "$0")/atspi_walk.py")
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is missing (scripts/deps.sh test)"

start_xvfb
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
LAUNCHER_PID=$!
trap 'cleanup || true; kill "$LAUNCHER_PID" 2>/dev/null || true' EXIT
# Qt turns its bridge on only when a screen reader asks; the test is that reader.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
install_copy "$1"
start_app

walk() { "${WALK[@]}" "$APP_PID" "$@"; }

note "typed text reads back from the edit"
click_control edtPass 198 12
xdotool type --delay 30 --window "$WIN" "Ab1"
walk wait-text text "パスワード" "Ab1" || fail "the edit does not read Ab1: $(walk text text "パスワード")"
walk tree >"$WORK/tree.txt"
cat "$WORK/tree.txt"
[ -n "${ATSPI_TREE:-}" ] && cp "$WORK/tree.txt" "$ATSPI_TREE"
got=$(walk text text "パスワード") || fail "no text node named パスワード"
[ "$got" = "Ab1" ] || fail "edit reads \"$got\", expected Ab1"
walk wait-name "大文字:エー、小文字:ビー、数字:イチ" || fail "the reading of Ab1 is exposed by no node"

note "the five check boxes by name, with the states of a first start"
check_state() {
    local got
    got=$(walk checked "$1") || fail "no check box named $1"
    echo "   $1: $got"
    [ "$got" = "$2" ] || fail "check box $1 reports checked=$got, expected $2"
}
check_state "文字種を挿入（大文字、小文字、数字、記号）" 1
check_state "1文字ずつ文字種を挿入" 1
check_state "文字の区切りをブランクにする（デフォルトは「、」）" 0
check_state "数字はそのまま" 0
check_state "記号はそのまま" 0

note "the Toggle action works as a click: the reading follows"
walk action "check box" "文字の区切りをブランクにする（デフォルトは「、」）" Toggle || fail "Toggle failed"
walk wait-name "大文字:エー 小文字:ビー 数字:イチ" || fail "no node shows the blank-separated reading"
check_state "文字の区切りをブランクにする（デフォルトは「、」）" 1

note "the Press action of the copy button copies"
walk action "push button" "クリップボードにコピー" Press || fail "Press failed"
walk wait-name "コピーOK" || fail "no node shows コピーOK"
wait_clipboard 'Ab1\r\n大文字:エー 小文字:ビー 数字:イチ' "the Press action's copy"

note "without the class, the box for each character reports itself disabled"
walk action "check box" "文字種を挿入（大文字、小文字、数字、記号）" Toggle || fail "Toggle failed"
walk wait-name "エー ビー イチ" || fail "no node shows the reading without classes"
states=$(walk states "check box" "1文字ずつ文字種を挿入") || fail "no check box named 1文字ずつ文字種を挿入"
echo "   1文字ずつ文字種を挿入: $states"
case " $states " in *" enabled "* | *" sensitive "*) fail "the disabled box reports: $states" ;; esac
note "ok"
