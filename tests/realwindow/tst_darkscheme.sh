#!/bin/bash
# Desktop colour schemes: under qt6ct's dark "darker", its grey "dusk", its light "simple"
# and with no desktop theme, every text of the window (captions, hint, options, typed
# password, result, copy status, button captions) keeps a WCAG contrast of at least 4.5:1
# against what is behind it, measured on a screenshot; and the window looks exactly as
# with no theme.
# Usage: tst_darkscheme.sh <kanavox>
source "$(dirname "$0")/xvfb.sh"
start_xvfb
install_copy "$1"
mkdir -p "$WORK/config/qt6ct"
export XDG_CONFIG_HOME="$WORK/config"

# name x y w h (client coordinates; each rectangle holds text on one background)
texts="パスワード 16,27,80,16
hint 102,54,472,16
option1 120,88,300,16
option2 120,114,200,16
option3 120,140,330,16
option4 120,166,110,16
option5 120,192,110,16
password 106,28,120,16
結果 300,230,72,20
result 36,260,420,18
copy-status 380,414,90,18
copy-button 210,414,114,18
exit-button 540,414,44,18"

for scheme in default darker dusk simple; do
    note "scheme $scheme"
    if [ "$scheme" = default ]; then
        unset QT_QPA_PLATFORMTHEME
    else
        printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/%s.conf\ncustom_palette=true\nstyle=Fusion\n' \
            "$scheme" >"$WORK/config/qt6ct/qt6ct.conf"
        export QT_QPA_PLATFORMTHEME=qt6ct
    fi
    rm -f "$INI"
    start_app
    xdotool type --delay 30 --window "$WIN" "Ab1@"
    click_control btnCopy
    wait_clipboard 'Ab1@\r\n大文字:エー、小文字:ビー、数字:イチ、記号:単価記号' "$scheme: copy of Ab1@"
    shot="$WORK/$scheme.png"
    wait_still "$shot"
    while read -r name rect; do
        IFS=, read -r x y w h <<<"$rect"
        read -r ratio fg bg < <(contrast "$shot" "$x" "$y" "$w" "$h")
        echo "   $name: $ratio ($fg on $bg)"
        awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' || fail "$scheme: $name contrast $ratio ($fg on $bg)"
    done <<<"$texts"
    # The scheme changes nothing at all: the window is the designed one.
    if [ "$scheme" != default ]; then
        differ=$(compare -metric AE -fuzz 1% "$WORK/default.png" "$shot" null: 2>&1 || true)
        echo "   pixels differing from the default look: $differ"
        [ "$differ" = 0 ] || fail "$scheme: $differ pixels differ from the default look"
    fi
    click_control btnEnd
    wait_exit
done
echo "PASS: tst_darkscheme"
