#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A reminder due a few seconds after start: its confirmation box comes within its second, OK shows the
# shaped alert window of slot 3 with the note, Esc closes it. Two slots due in the same second give
# two boxes. The melody plays on the sound server.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display
e2e_start_sound_server

# Settings with the given slots due at the given epoch second.
write_due() {
    local due=$1
    shift
    {
        echo "[Pripomin]"
        echo "Run=1"
        for k in "$@"; do
            echo "[DAT$k]"
            echo "Dátum=$(sk_date "@$due")"
            echo "Čas=$(date -d "@$due" '+%-H:%-M:%-S')"
        done
    } >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
}

boxes() { xdotool search --onlyvisible --name '^Pripomin - nový odkaz$' 2>/dev/null | wc -l; }
box_count_is() { [ "$(boxes)" -eq "$1" ]; }

# The due second must not cross midnight while the test runs.
if [ "$(date +%H%M)" = 2359 ]; then sleep 70; fi

due=$(($(date +%s) + 6))
write_due "$due" 3
printf '{\\rtf1\\ansi Porada o {\\b 15:00}}\r\n' >"$(note_file 3)"
e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
wait_until 15 "the confirmation box" window_named "Pripomin - nový odkaz"
seen=$(date +%s)
[ "$seen" -le $((due + 1)) ] || { echo "FAIL: box seen at $seen, due $due"; exit 1; }
# The melody plays with the box (it lasts three seconds).
wait_until 3 "the melody" melody_playing
# The alert window itself shows only after OK.
! window_named "Pripomin - odkaz"
xdotool windowactivate --sync "$(window_named "Pripomin - nový odkaz")" key Return
wait_until 10 "the alert window" window_named "Pripomin - odkaz"
alert=$(window_named "Pripomin - odkaz")
eval "$(xdotool getwindowgeometry --shell "$alert")"
# Slot 3's window opens at its stored place, 5745 x 3180 twips.
[ "$X" -eq 383 ] && [ "$Y" -eq 212 ] || { echo "FAIL: alert at $X,$Y"; exit 1; }
import -window root "$E2E_TMP/alert.png"
[ -n "${E2E_SHOTS:-}" ] && cp "$E2E_TMP/alert.png" "$E2E_SHOTS/alert_slot3.png"
xdotool windowactivate --sync "$alert" key Escape
wait_until 10 "the alert window to close" sh -c '! xdotool search --onlyvisible --name "^Pripomin - odkaz\$"'
kill -0 "$PRIPOMIN_PID"

# Two slots in the same second: two boxes, one over the other.
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
due=$(($(date +%s) + 6))
write_due "$due" 2 5
e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
wait_until 15 "two confirmation boxes" box_count_is 2
# The second slot's melody takes the place of the first: one plays, not two over each other.
wait_until 3 "the melody" melody_playing
[ "$(melodies)" -eq 1 ] || { echo "FAIL: $(melodies) melodies at once"; exit 1; }
answer_one_box() {
    local id
    id=$(xdotool search --onlyvisible --name '^Pripomin - nový odkaz$' | tail -1) || return 1
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    xdotool key --clearmodifiers Return
}
answer_one_box
wait_until 10 "the upper box answered" box_count_is 1
answer_one_box
wait_until 10 "both boxes answered" box_count_is 0
wait_until 10 "two alert windows" sh -c '[ "$(xdotool search --onlyvisible --name "^Pripomin - odkaz\$" | wc -l)" -eq 2 ]'
echo PASS
