#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Slots 2 and 9 dated yesterday: the question comes at start; "Nie" shows the forgotten view with
# icons 2 and 9 only, each showing its note; "OK" returns to the editor. Another start answered "Áno"
# leaves both slots without date and with a blank note on disk.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display

yesterday=$(date -d 'yesterday' +%Y-%m-%d)
cat >"$XDG_CONFIG_HOME/pripomin/PM002.INI" <<INI
[Pripomin]
Run=1
[DAT2]
Dátum=$(sk_date "$yesterday")
Čas=8:15:0
[DAT9]
Dátum=$(sk_date "$yesterday")
Čas=17:0:0
INI
printf '{\\rtf1\\ansi Zubar {\\b o osmej}}\r\n' >"$(note_file 2)"
printf '{\\rtf1\\ansi Vyzdvihnut {\\i balik}}\r\n' >"$(note_file 9)"

shot() { [ -z "${E2E_SHOTS:-}" ] || import -window root "$E2E_SHOTS/$1.png"; }
forgotten_text_is() { [ "$(atspi text "Zabudnutý odkaz")" = "$1" ]; }
icons_showing() { [ "$(atspi count "push button" Odkaz)" -eq "$1" ]; }

e2e_start_pripomin
wait_until 20 "the question" window_named "Zabudnuté odkazy v programe Pripomin"
wait_until 20 "the question's buttons" atspi has "push button" "Nie"
shot forgotten_question
atspi click "Nie"
wait_until 10 "the forgotten view" window_named "Zabudnuté odkazy v programe Pripomin"
wait_until 10 "only icons 2 and 9" icons_showing 2
wait_until 10 "an empty box" forgotten_text_is ""
atspi click-nth Odkaz 1
wait_until 10 "slot 9's note" forgotten_text_is "Vyzdvihnut balik"
atspi click-nth Odkaz 0
wait_until 10 "slot 2's note" forgotten_text_is "Zubar o osmej"
shot forgotten_view
atspi click OK
wait_until 10 "the editor again" window_named "Pripomin - MENU"
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
grep -q "Vyzdvihnut" "$(note_file 9)"
ini | grep -qx "Dátum=$(sk_date "$yesterday")"

e2e_start_pripomin
wait_until 20 "the question again" atspi has "push button" "Áno"
atspi click "Áno"
wait_until 10 "the editor" window_named Pripomin
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
[ "$(grep -c '^Dátum=0:00:00$' "$XDG_CONFIG_HOME/pripomin/PM002.INI")" -eq 12 ]
[ "$(cat "$(note_file 2)")" = " " ] || [ "$(tr -d '\r\n' <"$(note_file 2)")" = " " ]
[ "$(tr -d '\r\n' <"$(note_file 9)")" = " " ]
echo PASS
