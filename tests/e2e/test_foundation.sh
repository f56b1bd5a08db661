#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program starts with prepared settings and notes, shows the dates on the tabs and the selected
# slot's note, and writes everything back when its window is closed or it is sent SIGTERM.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display

day3=$(date -d '+10 days' +%Y-%m-%d)
day12=$(date -d '+1 day' +%Y-%m-%d)
cat >"$XDG_CONFIG_HOME/pripomin/PM002.INI" <<INI
[Pripomin]
Run=1
[DAT3]
Dátum=$(sk_date "$day3")
Čas=9:5:0
[DAT12]
Dátum=$(sk_date "$day12")
Čas=23:59:59
INI
printf '{\\rtf1\\ansi\\ansicpg1250 Zavola\\u357?\\'"'"'9d mame}\r\n' >"$(note_file 3)"
printf '{\\rtf1\\ansi Kupit {\\b chlieb}}\r\n' >"$(note_file 12)"

e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
wait_until 20 "the program on the accessibility bus" atspi tabs

# The window opens in the middle of the screen: its outer top-left corner is where centring its own
# size puts it (the window manager's frame is added around it).
eval "$(xdotool getwindowgeometry --shell "$(window_named Pripomin)")"
read -r _ _ frame_top _ < <(xprop -id "$WINDOW" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
[ "$((Y - frame_top))" -eq $(((screen_h - HEIGHT) / 2)) ] || { echo "FAIL: top $Y - $frame_top, height $HEIGHT"; exit 1; }
[ "$X" -ge $(((screen_w - WIDTH) / 2 - 1)) ] && [ "$X" -le $(((screen_w - WIDTH) / 2 + 10)) ] ||
    { echo "FAIL: left $X, width $WIDTH"; exit 1; }

mapfile -t tabs < <(atspi tabs)
[ "${#tabs[@]}" -eq 12 ] || { echo "FAIL: ${#tabs[@]} tabs"; exit 1; }
[ "${tabs[2]}" = "$(sk_date "$day3")" ] || { echo "FAIL: tab 3 reads '${tabs[2]}'"; exit 1; }
[ "${tabs[11]}" = "$(sk_date "$day12")" ] || { echo "FAIL: tab 12 reads '${tabs[11]}'"; exit 1; }
[ "${tabs[0]}" = "0:00:00" ] || { echo "FAIL: tab 1 reads '${tabs[0]}'"; exit 1; }
wait_until 10 "slot 12's note in the editor" sh -c '[ "$(/usr/bin/python3 '"$E2E_DIR"'/atspi.py text "Text odkazu")" = "Kupit chlieb" ]'

# Closing the window saves the settings and every note.
rm "$(note_file 7)" 2>/dev/null || true
xdotool windowactivate --sync "$(window_named Pripomin)" key --clearmodifiers alt+F4
wait_until 20 "the program to end after closing" process_gone "$PRIPOMIN_PID"
ini | grep -qx "Run=1"
ini | grep -qx "Dátum=$(sk_date "$day3")"
ini | grep -qx "Čas=9:5:0"
ini | grep -qx "Čas=23:59:59"
for k in $(seq 12); do [ -f "$(note_file "$k")" ] || { echo "FAIL: Dat$k.RTF missing"; exit 1; }; done
grep -q 'chlieb' "$(note_file 12)"
grep -q 'Zavola' "$(note_file 3)"
[ "$(stat -c %a "$(note_file 3)")" = 600 ]

# SIGTERM takes the same closing path.
rm "$(note_file 5)" "$XDG_CONFIG_HOME/pripomin/PM002.INI"
e2e_start_pripomin
wait_until 20 "the main window again" window_named Pripomin
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end after SIGTERM" process_gone "$PRIPOMIN_PID"
[ -f "$(note_file 5)" ]
ini | grep -qx "Run=1"
echo "PASS"
