#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program killed outright (a power cut, a crash) loses nothing: a typed note is on disk within
# a second or two; a reminder fired and confirmed is not asked about again; one whose box was still
# open comes back at the next start with its note. Ten seconds of typing write the note about ten
# times, not at every key.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display

click_on() { xdotool mousemove --sync $(atspi center "$1") click 1; }
select_tab() {
    local xy
    xy=$(atspi select-tab "$1")
    [ -z "$xy" ] || xdotool mousemove --sync $xy click 1
}
editor_text_is() { [ "$(atspi text "Text odkazu")" = "$1" ]; }
kill_pripomin() {
    kill -KILL "$PRIPOMIN_PID"
    wait_until 10 "the program to die" process_gone "$PRIPOMIN_PID"
}
start_editor() {
    e2e_start_pripomin
    wait_until 20 "the main window" window_named Pripomin
    wait_until 20 "the program on the accessibility bus" atspi tabs
    xdotool windowactivate --sync "$(window_named Pripomin)"
}
slot_time() { awk -v s="[DAT$1]" '$0 == s {f = 1; next} /^\[/ {f = 0} f && sub(/^Čas=/, "") {print}' \
    "$XDG_CONFIG_HOME/pripomin/PM002.INI"; }
slot_time_is() { [ "$(slot_time "$1")" = "$2" ]; }
question=$(printf 'Zabudnuté odkazy v programe Pripomin')

# A note typed, then the process killed: it is there at the next start.
start_editor
click_on "Text odkazu"
xdotool type --delay 50 "Zavolat mame"
wait_until 10 "the typed note" editor_text_is "Zavolat mame"
wait_until 3 "the note on disk" grep -q "Zavolat mame" "$(note_file 1)"
kill_pripomin
start_editor
select_tab 0
wait_until 10 "the note after the kill" editor_text_is "Zavolat mame"

# Typing for ten seconds: each replacement of the file is one rename onto its name.
inotifywait -m -q -e moved_to --timefmt %T --format '%f %T' "$XDG_DATA_HOME/pripomin" >"$E2E_TMP/writes" 2>/dev/null &
E2E_PIDS+=($!)
wait_until 10 "the file watch" sh -c "[ -e /proc/$!/fd/3 ] || ls -l /proc/$!/fd | grep -q inotify"
click_on "Text odkazu"
xdotool key --clearmodifiers ctrl+End
typing=$SECONDS
xdotool type --delay 230 " a potom vyniest smeti, umyt riad, zaliat kvety, napisat list babke a zavolat do prace"
wait_until 3 "the last key on disk" grep -q "list babke" "$(note_file 1)"
writes=$(grep -c '^Dat1.RTF ' "$E2E_TMP/writes" || true)
echo "$((SECONDS - typing)) seconds of typing wrote Dat1.RTF $writes times:" $(cut -d' ' -f2 "$E2E_TMP/writes")
[ "$writes" -ge 5 ] && [ "$writes" -le 12 ] || { echo "FAIL: $writes writes"; exit 1; }
! grep -qv '^Dat1.RTF ' "$E2E_TMP/writes" || { echo "FAIL: other files written"; cat "$E2E_TMP/writes"; exit 1; }
kill_pripomin

# A reminder fired and confirmed: on disk as fired, so the next start does not ask about it.
write_slot_due_in 5 3
printf '{\\rtf1\\ansi Porada}\r\n' >"$(note_file 3)"
e2e_start_pripomin
wait_until 20 "the confirmation box" window_named "Pripomin - nový odkaz"
slot_time_is 3 "$(date -d "@$DUE" '+%-H:%-M:%-S')"
xdotool windowactivate --sync "$(window_named "Pripomin - nový odkaz")" key Return
wait_until 10 "the alert window" window_named "Pripomin - odkaz"
wait_until 3 "the fired reminder on disk" slot_time_is 3 0:0:0
kill_pripomin
start_editor
! window_named "$question"

# A reminder fired but its box still open: the disk keeps it, and the next start asks about it.
kill_pripomin
write_slot_due_in 5 5
printf '{\\rtf1\\ansi Vyzdvihnut {\\i balik}}\r\n' >"$(note_file 5)"
e2e_start_pripomin
wait_until 20 "the confirmation box" window_named "Pripomin - nový odkaz"
kill_pripomin
slot_time_is 5 "$(date -d "@$DUE" '+%-H:%-M:%-S')"
# Started again in the due second, the program would fire it on time instead.
wait_until 5 "the due second to pass" sh -c "[ \$(date +%s) -gt $DUE ]"
e2e_start_pripomin
wait_until 20 "the question about the reminder" atspi has "push button" "Nie"
atspi click "Nie"
wait_until 10 "its icon" sh -c '[ "$(/usr/bin/python3 '"$E2E_DIR"'/atspi.py count "push button" Odkaz)" -eq 1 ]'
atspi click-nth Odkaz 0
wait_until 10 "its note" sh -c '[ "$(/usr/bin/python3 '"$E2E_DIR"'/atspi.py text "Zabudnutý odkaz")" = "Vyzdvihnut balik" ]'
echo PASS
