#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With no notification area, activation leaves the main window minimised rather than hidden, so the
# task bar still reaches it; a notification area that comes later shows the icon.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display
fail() { echo "FAIL: $*" >&2; exit 1; }
# Whether a window titled "Pripomin", mapped or not, is in the given state (Normal, Iconic).
main_window_state() {
    local id
    for id in $(xdotool search --name '^Pripomin$'); do
        xprop -id "$id" WM_STATE | grep -q "state: $1" && return 0
    done
    return 1
}

e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
xdotool windowactivate --sync "$(window_named Pripomin)" key F11
wait_until 10 "the main window to leave the screen" sh -c '! xdotool search --onlyvisible --name "^Pripomin\$"'
wait_until 10 "the main window minimised" main_window_state Iconic
grep -qx "Aktivácia=ok" "$XDG_CONFIG_HOME/pripomin/PM002.INI" || fail "not activated"

e2e_start_tray
wait_until 10 "the icon in the notification area that came later" tray_icon_window
echo PASS
