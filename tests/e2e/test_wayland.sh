#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On a Wayland desktop (weston, headless): where an X server is reachable too, the program uses it;
# with none, it runs on Wayland itself, and a reminder that falls due opens its confirmation box and
# then its alert window.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
export WAYLAND_DISPLAY=pripomin-e2e XDG_SESSION_TYPE=wayland
e2e_spawn weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
    >"$E2E_TMP/weston.log" 2>&1
wait_until 20 "the compositor" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
e2e_start_display

# --- An X server as well (as XWayland would be): the windows are X windows.
e2e_start_pripomin
wait_until 20 "the main window on the X server" window_named Pripomin
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"

# --- No X server: Wayland itself. Roles differ from X11 there (the main window is a filler), so
# only names are asked for.
unset DISPLAY
write_slot_due_in 5 3
e2e_start_pripomin
wait_until 20 "the main window" atspi has '*' Pripomin
wait_until 15 "the confirmation box" atspi has '*' "Pripomin - nový odkaz"
atspi click OK
wait_until 10 "the alert window" atspi has '*' "Pripomin - odkaz"
kill -0 "$PRIPOMIN_PID"
echo PASS
