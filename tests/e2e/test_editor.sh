#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# From outside: choose a day on the calendar and a time on the picker, type a note with a bold word,
# close. The settings file and the note file hold them, and the next start shows them. Then a note
# from WordPad with lists, a table (a merged cell, a table in a cell), a picture and the rest gets
# one word typed into it, and LibreOffice finds each of them in the saved note as in the original.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display

click_on() {
    local xy
    xy=$(atspi center "$1")
    xdotool mousemove --sync $xy click 1
}
# Selects a tab (counted from 0): by its accessible action, or by a click where it has none.
select_tab() {
    local xy
    xy=$(atspi select-tab "$1")
    [ -z "$xy" ] || xdotool mousemove --sync $xy click 1
}
tab_caption() { atspi tabs | sed -n "$1p"; }
caption_is_date() { tab_caption "$1" | grep -Eq '^[0-9]{1,2}\. [0-9]{1,2}\. [0-9]{4}$'; }

e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
wait_until 20 "the program on the accessibility bus" atspi tabs
xdotool windowactivate --sync "$(window_named Pripomin)"
select_tab 3
# A day in the middle of the month shown (a month from today): never in the past.
click_on "Dátum odkazu"
wait_until 10 "slot 4's tab to show its day" caption_is_date 4
day=$(tab_caption 4)

click_on "Čas odkazu 4"
xdotool key --clearmodifiers Home
xdotool type --delay 80 "073015"
click_on "Text odkazu"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 50 "Kup "
xdotool key --clearmodifiers ctrl+b
xdotool type --delay 50 "chlieb"
xdotool key --clearmodifiers ctrl+b
xdotool type --delay 50 " dnes"
wait_until 10 "the typed note" sh -c '[ "$(/usr/bin/python3 '"$E2E_DIR"'/atspi.py text "Text odkazu")" = "Kup chlieb dnes" ]'

xdotool windowactivate --sync "$(window_named Pripomin)" key --clearmodifiers alt+F4
wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
awk '/^\[DAT4\]/{s=1;next} /^\[/{s=0} s' "$XDG_CONFIG_HOME/pripomin/PM002.INI" >"$E2E_TMP/dat4"
grep -qx "Dátum=$day" "$E2E_TMP/dat4" || { cat "$E2E_TMP/dat4"; echo "FAIL: day"; exit 1; }
grep -qx "Čas=7:30:15" "$E2E_TMP/dat4" || { cat "$E2E_TMP/dat4"; echo "FAIL: time"; exit 1; }
grep -Eq '\\b chlieb|\\b\\[a-z0-9\\]* ?chlieb' "$(note_file 4)" || { cat "$(note_file 4)"; echo "FAIL: bold"; exit 1; }

e2e_start_pripomin
wait_until 20 "the main window again" window_named Pripomin
wait_until 20 "the program on the accessibility bus" atspi tabs
[ "$(tab_caption 4)" = "$day" ]
select_tab 3
wait_until 10 "the note again" sh -c '[ "$(/usr/bin/python3 '"$E2E_DIR"'/atspi.py text "Text odkazu")" = "Kup chlieb dnes" ]'
xdotool windowactivate --sync "$(window_named Pripomin)" key --clearmodifiers alt+F4
wait_until 20 "the program to end again" process_gone "$PRIPOMIN_PID"

# Slot 12's tab is the one shown at start.
cp "$E2E_DIR/wordpad_note.rtf" "$E2E_TMP/original.rtf"
cp "$E2E_DIR/wordpad_note.rtf" "$(note_file 12)"
e2e_start_pripomin
wait_until 20 "the main window with the WordPad note" window_named Pripomin
wait_until 20 "the WordPad note shown" sh -c '/usr/bin/python3 '"$E2E_DIR"'/atspi.py text "Text odkazu" | grep -q "Koniec"'
xdotool windowactivate --sync "$(window_named Pripomin)"
click_on "Text odkazu"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 50 " hotovo"
wait_until 10 "the typed word" sh -c '/usr/bin/python3 '"$E2E_DIR"'/atspi.py text "Text odkazu" | grep -q "Koniec hotovo"'
[ -z "${E2E_SHOT:-}" ] || shoot_window "$(window_named Pripomin)" "$E2E_SHOT"
xdotool windowactivate --sync "$(window_named Pripomin)" key --clearmodifiers alt+F4
wait_until 20 "the program to end with the WordPad note" process_gone "$PRIPOMIN_PID"
cp "$(note_file 12)" "$E2E_TMP/saved.rtf"
lo_convert fodt "$E2E_TMP/lo" "$E2E_TMP/original.rtf" "$E2E_TMP/saved.rtf"
lo_convert html "$E2E_TMP/lo" "$E2E_TMP/original.rtf" "$E2E_TMP/saved.rtf"
# What LibreOffice makes of each feature: the export to look in, and what it writes there.
while IFS='|' read -r what export pattern; do
    for file in original saved; do
        grep -Eq -- "$pattern" "$E2E_TMP/lo/$file.$export" || { echo "FAIL: $what not in the $file note"; exit 1; }
    done
done <<'FEATURES'
bulleted list|html|<ul
numbered list|html|<ol
numbered list starting at 5|html|<ol start="5"
second-level item|html|<ol type="a"
table|fodt|<table:table 
table borders|fodt|fo:border="0.5pt solid #000000"
merged cell|html|<td colspan="2"
table in a cell|html|^[[:space:]]+<table 
highlight|fodt|fo:background-color="#ffff00"
white on blue|fodt|fo:background-color="#0000ff"
link|fodt|xlink:href="https://example.sk/obchod"
strikethrough|fodt|style:text-line-through-style="solid"
superscript|fodt|style:text-position="super
subscript|fodt|style:text-position="sub
indent|fodt|fo:margin-left="(1in|2\.54cm)"
picture at its size|html|<img [^>]*width="40" height="30"
FEATURES
tr -s "\n" " " <"$E2E_TMP/lo/saved.html" | grep -q "Koniec hotovo" || { echo "FAIL: the typed word"; exit 1; }
echo PASS
