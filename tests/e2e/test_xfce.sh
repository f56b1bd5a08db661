#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray icon under Xfce 4.18's panel, a StatusNotifierItem host: a start in the background mode
# 10 s before the panel shows no window and then registers the icon with the panel's watcher, with
# its tooltip and menu; a left click does nothing, a right click opens that menu and its "Menu"
# brings the window back; a panel that is killed and started again shows the icon again, and so
# does a panel that replaces an XEmbed tray (trayer); "Vypni počítač" and "Ukonči program" chosen
# there act.
# Set E2E_SHOTS to a folder to keep the screenshots.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
E2E_NO_WM=1 e2e_start_display
E2E_XFCE_PANEL_LATER=1 e2e_start_xfce
e2e_start_logind_mock
SHOTS=${E2E_SHOTS:-$E2E_TMP}
mkdir -p "$SHOTS"
fail() { echo "FAIL: $*" >&2; exit 1; }
main_window_gone() { ! window_named Pripomin; }

# The item's menu object, and the labels of that menu as the panel reads them.
item_menu() {
    local item=$(sn_items | head -1)
    gdbus call --session --dest "${item%%/*}" --object-path "/${item#*/}" \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Menu | grep -o "'/[^']*'" | tr -d "'"
}
menu_labels() {
    local item=$(sn_items | head -1)
    gdbus call --session --dest "${item%%/*}" --object-path "$(item_menu)" \
        --method com.canonical.dbusmenu.GetLayout -- 0 -1 '["label"]' | grep -o "'label': <'[^']*'>" |
        sed "s/'label': <'\(.*\)'>/\1/"
}

click_panel_icon() {
    wait_until 10 "the icon on the panel" xfce_icon_shown
    eval "$(xdotool getwindowgeometry --shell "$(xfce_tray_window)")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click "$1"
}
open_panel_menu() {
    click_panel_icon 3
    wait_until 10 "the panel's menu" xfce_menu_window
}
item_tooltip() {
    local item=$(sn_items | head -1)
    gdbus call --session --dest "${item%%/*}" --object-path "/${item#*/}" \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem ToolTip
}
# The icon is a StatusNotifierItem with its menu and tooltip, not an XEmbed icon.
icon_is_item_with_menu() {
    wait_until 20 "the icon at the panel's watcher" sn_item_registered
    local labels
    labels=$(menu_labels)
    [ "$labels" = "$(printf 'Menu\nUkonči program\nZamkni počítač\nVypni počítač')" ] ||
        fail "exported menu: $labels"
    item_tooltip | grep -q "Pripomin sleduje Vami naplánované odkazy" || fail "tooltip: $(item_tooltip)"
    no_tray_icon || fail "an XEmbed icon besides the item"
}

# --- A start in background mode as at logon, 10 s before the panel: no window meanwhile, then the
# icon in the panel as a StatusNotifierItem.
printf '[Pripomin]\nAktivácia=ok\n' >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
e2e_start_pripomin
stays_for 10 "no window before the panel" main_window_hidden
e2e_start_xfce_panel
icon_is_item_with_menu
wait_until 10 "the icon on the panel" xfce_icon_shown
main_window_hidden || fail "a window came with the panel"
import -window root "$SHOTS/xfce-start-before-panel.png"

# --- A right click on the icon opens that menu; "Menu" brings the window back, the icon goes.
# A left click does nothing: by the time the menu of a right click after it opens, the program
# has had the left click's Activate call, which comes first on the same connection.
click_panel_icon 1
open_panel_menu
main_window_gone || fail "a left click on the icon showed the window"
[ "$(xdotool search --onlyvisible --class wrapper-2.0 | while read -r id; do xprop -id "$id" _NET_WM_WINDOW_TYPE; done |
    grep -c POPUP_MENU)" = 1 ] || fail "not exactly one menu open"
import -window root "$SHOTS/xfce-menu.png"
choose_tray_command 1
wait_until 10 "the main window back" window_named Pripomin
wait_until 10 "the icon to go" no_sn_item
ini | grep -qx "Aktivácia=ok" || fail "restore changed the record"

# --- Activation again; the panel, killed and started again, shows the icon again.
xdotool windowactivate --sync "$(window_named Pripomin)" key F11
wait_until 10 "the icon after activation" sn_item_registered
wait_until 10 "the main window to be hidden" main_window_gone
kill "$XFCE_PANEL_PID"
no_watcher() { ! bus_name_owned org.kde.StatusNotifierWatcher; }
wait_until 20 "the panel's watcher to go" no_watcher
e2e_start_xfce_panel
wait_until 20 "the icon at the new panel" sn_item_registered
wait_until 10 "the icon on the new panel" xfce_icon_shown
import -window root "$SHOTS/xfce-panel.png"

# --- An XEmbed tray instead of the panel, then the panel again: the icon follows each.
kill "$XFCE_PANEL_PID"
wait_until 20 "the panel's watcher to go" no_watcher
e2e_start_tray
wait_until 10 "the icon in trayer" tray_icon_window
kill "$TRAYER_PID"
wait_until 10 "trayer to go" no_tray_icon
e2e_start_xfce_panel
icon_is_item_with_menu
wait_until 10 "the icon on the panel after trayer" xfce_icon_shown

# --- "Vypni počítač" and "Ukonči program" from the panel's menu.
open_panel_menu
choose_tray_command 4
wait_until 10 "PowerOff at the logind mock" grep -q PowerOff "$LOGIND_LOG"
open_panel_menu
choose_tray_command 2
wait_until 20 "the program to end from the menu" process_gone "$PRIPOMIN_PID"
wait_until 10 "no icon left" no_sn_item
echo PASS
