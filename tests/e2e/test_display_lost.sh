#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The display goes away under the running program (a logout without a session manager): the program
# ends, and its slots are on disk all the same.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
E2E_NO_WM=1 e2e_start_display
xvfb_pid=${E2E_PIDS[0]}

day=$(date -d '+5 days' +%Y-%m-%d)
printf '[Pripomin]\nRun=1\n[DAT4]\nDátum=%s\nČas=10:20:30\n' "$(sk_date "$day")" \
    >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
printf '{\\rtf1\\ansi four}\r\n' >"$(note_file 4)"
e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
rm "$(note_file 4)" "$XDG_CONFIG_HOME/pripomin/PM002.INI"
kill "$xvfb_pid"
wait_until 20 "the program to end with its display" process_gone "$PRIPOMIN_PID"
grep -q four "$(note_file 4)"
ini | grep -qx "Dátum=$(sk_date "$day")"
ini | grep -qx "Čas=10:20:30"
echo PASS
