#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On a Wayland session a program cannot keep the keyboard: "Zamkni počítač" asks logind to lock the
# session (the desktop's own locker) and opens no password box and no lock window of its own.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display
e2e_start_tray
e2e_start_logind_mock
fail() { echo "FAIL: $*" >&2; exit 1; }

gdbus call --system --dest org.freedesktop.login1 --object-path /org/freedesktop/login1 \
    --method org.freedesktop.DBus.Mock.AddSession c1 seat0 "$(id -u)" "$(id -un)" true >/dev/null
printf '[Pripomin]\nAktivácia=ok\n' >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
# The session is marked Wayland; the program still draws through the X server (XWayland's part).
export XDG_SESSION_TYPE=wayland XDG_SESSION_ID=c1 QT_QPA_PLATFORM=xcb
e2e_start_pripomin
wait_until 20 "the tray icon" tray_icon_window
open_tray_menu
choose_tray_command 3
wait_until 10 "Lock on the session" grep -q ' Lock$' "$LOGIND_LOG"
grep -q 'GetSession "c1"' "$LOGIND_LOG" || fail "another session was locked: $(cat "$LOGIND_LOG")"
# A box or lock window would have opened in the same menu command, before any call to logind.
no_menu() { ! tray_menu_window; }
wait_until 10 "the menu to close" no_menu
! window_named "Pripomin - zámok" >/dev/null || fail "a password box opened"
no_lock_window || fail "a lock window opened"
kill -0 "$PRIPOMIN_PID" || fail "the program ended"
echo PASS
