#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's clock moved with libfaketime: a reminder just after the clocks go forward opens in
# its second; one just after midnight names the new day, and the legend turns over with it (under
# en_US, whose week starts on Sunday); a reminder two minutes before the start is offered at start,
# and deleting it with slot 12's note leaves no trace of that note, also after typing in the editor;
# a temporary file left by a save cut short is gone after the start.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display

FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
# start_at "YYYY-MM-DD HH:MM:SS" [VAR=VALUE...]: the program in Bratislava's zone, its clock
# starting at that local time. Set on the program itself, so the PID is the program's.
start_at() {
    local at=$1
    shift
    local n=${#E2E_PIDS[@]}
    # A program built with AddressSanitizer wants its runtime first; libfaketime comes first here.
    e2e_spawn env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$at" FAKETIME_DONT_RESET=1 TZ=Europe/Bratislava \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" "$@" \
        "$PRIPOMIN_BIN" >"$E2E_TMP/pripomin$n.log" 2>&1
    PRIPOMIN_PID=$E2E_LAST_PID
}
stop_program() {
    kill -TERM "$PRIPOMIN_PID"
    wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
}
settings() { printf '[Pripomin]\nRun=1\n%s' "$1" >"$XDG_CONFIG_HOME/pripomin/PM002.INI"; }
box() { window_named "Pripomin - nový odkaz"; }
confirm_box() { xdotool windowactivate --sync "$(box)" key Return; }
label_shown() {
    local labels
    labels=$(atspi labels) && grep -qF -- "$1" <<<"$labels"
}

# 1. Spring forward: 01:59:54 CET, the reminder at 03:00:04 CEST, ten real seconds later.
settings "$(printf '[DAT4]\nDátum=28. 3. 2027\nČas=3:0:4\n')"
started=$SECONDS
start_at "2027-03-28 01:59:54"
wait_until 30 "the confirmation box after the clocks go forward" box
[ $((SECONDS - started)) -le 20 ] || { echo "FAIL: the box came $((SECONDS - started)) s after the start"; exit 1; }
confirm_box
wait_until 10 "the alert's line, written in the reminder's second" \
    label_shown "dňa 28. 3. 2027  NEDEĽA o 3:00:04 hod." || { atspi labels; exit 1; }
stop_program

# 2. Midnight under en_US: Wednesday 9 December at 23:59:54, the reminder at 00:00:04.
settings "$(printf '[DAT5]\nDátum=12/10/2026\nČas=0:0:4\n')"
start_at "2026-12-09 23:59:54" LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
wait_until 20 "the legend naming Wednesday" label_shown "12/9/2026 STREDA"
wait_until 30 "the confirmation box after midnight" box
confirm_box
wait_until 10 "the alert's line naming Thursday" label_shown "dňa 12/10/2026  ŠTVRTOK o 12:00:04"
label_shown "12/10/2026 ŠTVRTOK" || { echo "FAIL: the legend kept yesterday"; atspi labels; exit 1; }
stop_program

# 3. Started at 10:00:00; slot 12, the current tab at start, fell due at 09:58 today.
settings "$(printf '[DAT12]\nDátum=10. 12. 2026\nČas=9:58:0\n')"
printf '{\\rtf1\\ansi Stara poznamka}\r\n' >"$(note_file 12)"
echo leftover >"$(note_file 7).aB3xYz"
start_at "2026-12-10 10:00:00"
wait_until 20 "the question about the missed reminder" atspi has "push button" "Áno"
[ ! -e "$(note_file 7).aB3xYz" ] || { echo "FAIL: the leftover of a save is still there"; exit 1; }
atspi click "Áno"
wait_until 10 "the editor" window_named "Pripomin"
read -r x y < <(atspi center "Text odkazu")
xdotool mousemove "$x" "$y" click 1
xdotool type --delay 20 "nova"
note_shown() {
    local text
    text=$(atspi text "Text odkazu") && grep -qF -- "$1" <<<"$text"
}
wait_until 10 "the typed note" note_shown nova
! note_shown Stara || { echo "FAIL: the editor still shows the deleted note"; exit 1; }
stop_program
! grep -q "Stara" "$(note_file 12)" || { echo "FAIL: the deleted note came back"; cat "$(note_file 12)"; exit 1; }
grep -q "nova" "$(note_file 12)"
ini | grep -qx "Dátum=0:00:00"
echo PASS
