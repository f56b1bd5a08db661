#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Background mode from the outside: activation from the toolbar, the Splash, the flashing tray icon
# and its menu, a start into the background, a second start, exit, shutdown over logind, SIGTERM.
# Set E2E_SHOTS to a folder to keep the screenshots.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display
e2e_start_tray
e2e_start_logind_mock
SHOTS=${E2E_SHOTS:-$E2E_TMP}
mkdir -p "$SHOTS"
fail() { echo "FAIL: $*" >&2; exit 1; }
autostart=$XDG_CONFIG_HOME/autostart/Pripomin.desktop
splash_window() {
    local id
    for id in $(xdotool search --onlyvisible --class pripomin 2>/dev/null); do
        xwininfo -id "$id" | grep -q 'Width: 1[0-9][0-9]$' && xwininfo -id "$id" | grep -q 'Height: [3-6][0-9]$' &&
            { echo "$id"; return 0; }
    done
    return 1
}
splash_gone() { ! splash_window; }
main_window_gone() { ! window_named Pripomin; }

# --- Activation from the toolbar (F11).
e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
no_tray_icon || fail "an icon before activation"
xdotool windowactivate --sync "$(window_named Pripomin)" key F11
wait_until 10 "the Splash" splash_window
import -window root "$SHOTS/splash.png"
window_named Pripomin >/dev/null || fail "the main window went with the Splash's appearance"
wait_until 10 "the icon in the tray" tray_icon_window
wait_until 10 "the main window to be hidden" main_window_gone
wait_until 5 "the Splash to go" splash_gone
ini | grep -qx "Aktivácia=ok" || fail "no Aktivácia=ok"
ini | grep -qx "Run=1" || fail "settings not saved"
[ -f "$(note_file 1)" ] || fail "notes not saved at activation"
grep -qx "Exec=\"$(readlink -f "$PRIPOMIN_BIN")\"" "$autostart" || fail "autostart entry: $(cat "$autostart")"
grep -qx "Name=Pripomin" "$autostart"

# --- The icon flashes between two pictures.
icon=$(tray_icon_window)
shoot_window "$icon" "$SHOTS/icon-a.png"
icon_changed() {
    shoot_window "$icon" "$E2E_TMP/icon-now.png"
    [ "$(compare -metric AE "$SHOTS/icon-a.png" "$E2E_TMP/icon-now.png" null: 2>&1 || true)" != 0 ]
}
wait_until 10 "the icon's second picture" icon_changed
cp "$E2E_TMP/icon-now.png" "$SHOTS/icon-b.png"

# --- Right-click opens the menu; "Menu" brings the window back and the icon goes.
open_tray_menu
import -window root "$SHOTS/menu.png"
choose_tray_command 1
wait_until 10 "the main window back" window_named Pripomin
wait_until 10 "the icon to go" no_tray_icon
ini | grep -qx "Aktivácia=ok" || fail "restore changed the record"

# --- Closing and starting again: the program starts hidden, with its icon only.
xdotool windowactivate --sync "$(window_named Pripomin)" key --clearmodifiers alt+F4
wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
e2e_start_pripomin
wait_until 20 "the icon after a start" tray_icon_window
main_window_gone || fail "the main window shown at a start in background mode"

# --- A second start shows the running program's window and ends at once.
first=$PRIPOMIN_PID
rm -f "$(note_file 4)"
e2e_start_pripomin
second=$PRIPOMIN_PID
wait_until 20 "the second start to end" process_gone "$second"
PRIPOMIN_PID=$first
wait_until 10 "the running program's window" window_named Pripomin
wait_until 10 "the icon to go after the second start" no_tray_icon
[ ! -f "$(note_file 4)" ] || fail "the second start wrote a note file"
xdotool windowactivate --sync "$(window_named Pripomin)" key F11
wait_until 10 "the icon after activating again" tray_icon_window
[ "$(tray_icon_windows | wc -l)" = 1 ] || fail "more than one icon"
wait_until 10 "the main window to be hidden again" main_window_gone

# --- "Vypni počítač" asks logind to power off, without a question.
open_tray_menu
choose_tray_command 4
wait_until 10 "PowerOff at the logind mock" grep -q PowerOff "$LOGIND_LOG"
kill -0 "$PRIPOMIN_PID" || fail "the program ended at the shutdown request"

# --- "Ukonči program" saves and ends, leaving no icon.
rm -f "$(note_file 2)"
open_tray_menu
choose_tray_command 2
wait_until 20 "the program to end from the menu" process_gone "$PRIPOMIN_PID"
[ -f "$(note_file 2)" ] || fail "exit did not save the notes"
no_tray_icon || fail "an icon left after exit"

# --- SIGTERM in the background saves too.
rm -f "$(note_file 6)"
e2e_start_pripomin
wait_until 20 "the icon once more" tray_icon_window
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end after SIGTERM" process_gone "$PRIPOMIN_PID"
[ -f "$(note_file 6)" ] || fail "SIGTERM did not save the notes"
no_tray_icon || fail "an icon left after SIGTERM"
echo PASS
