#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With no notification area, a start in the background mode shows nothing while it waits 30 s for
# one, then the main window minimised, so the task bar still reaches it; a notification area that
# comes later shows the icon and the window goes back to hidden. Activation with no area leaves the
# window minimised too, and an area that comes later shows the icon.
# Set E2E_SHOTS to a folder to keep the screenshots.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display
SHOTS=${E2E_SHOTS:-$E2E_TMP}
mkdir -p "$SHOTS"
fail() { echo "FAIL: $*" >&2; exit 1; }
tray_gone() { ! xdotool search --onlyvisible --class trayer; }

# --- A start in the background mode before any notification area.
printf '[Pripomin]\nAktivácia=ok\n' >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
e2e_start_pripomin
started=$SECONDS
stays_for 25 "no window while the program waits for an area" main_window_hidden
wait_until 20 "the main window minimised after the wait" main_window_state Iconic
[ $((SECONDS - started)) -ge 29 ] || fail "minimised before the wait was over"
main_window_unmapped || fail "the minimised window is on screen"
import -window root "$SHOTS/no-tray-minimised.png"

e2e_start_tray
wait_until 10 "the icon in the notification area that came later" tray_icon_window
wait_until 10 "the main window hidden again" main_window_hidden
# "Menu" brings it back whole, not minimised.
open_tray_menu
choose_tray_command 1
wait_until 10 "the main window back" window_named Pripomin
wait_until 10 "the main window in its normal state" main_window_state Normal
kill "$TRAYER_PID"
wait_until 10 "the notification area to go" tray_gone

# --- Activation with no notification area.
xdotool windowactivate --sync "$(window_named Pripomin)" key F11
wait_until 10 "the main window to leave the screen" main_window_unmapped
wait_until 10 "the main window minimised" main_window_state Iconic
grep -qx "Aktivácia=ok" "$XDG_CONFIG_HOME/pripomin/PM002.INI" || fail "not activated"

e2e_start_tray
wait_until 10 "the icon in the notification area that came later" tray_icon_window
wait_until 10 "the main window hidden again" main_window_hidden
echo PASS
