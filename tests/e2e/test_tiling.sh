#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Under a tiling window manager (i3) an alert's confirmation box and its shaped window float at their
# own place with their own size instead of being tiled, the alert window and the Splash without a
# title bar; the titles the window manager shows are the program's own, with nothing added.
# Set E2E_SHOTS to a folder to keep the screenshots.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
E2E_NO_WM=1 e2e_start_display
e2e_start_i3
fail() { echo "FAIL: $*" >&2; exit 1; }

write_slot_due_in 5 3
e2e_start_pripomin
wait_until 20 "the main window" window_named Pripomin
[ "$(shown_title "$(window_named Pripomin)")" = Pripomin ] || fail "main window shown as $(shown_title "$(window_named Pripomin)")"

wait_until 15 "the confirmation box" window_named "Pripomin - nový odkaz"
box=$(window_named "Pripomin - nový odkaz")
[ "$(shown_title "$box")" = "Pripomin - nový odkaz" ] || fail "box shown as $(shown_title "$box")"
eval "$(xdotool getwindowgeometry --shell "$box")"
[ "$WIDTH" -lt 600 ] && [ "$HEIGHT" -lt 400 ] || fail "the box tiled: ${WIDTH}x$HEIGHT"
xdotool windowactivate --sync "$box" key Return

wait_until 10 "the alert window" window_named "Pripomin - odkaz"
alert=$(window_named "Pripomin - odkaz")
[ "$(shown_title "$alert")" = "Pripomin - odkaz" ] || fail "alert window shown as $(shown_title "$alert")"
# Slot 3's window: 3870 x 5145 twips at its stored place, 5745 x 3180 twips. i3 keeps room for the
# frame it would have drawn, a few pixels to the right and below.
at_its_place() {
    eval "$(xdotool getwindowgeometry --shell "$alert")"
    [ "$WIDTH" -eq 258 ] && [ "$HEIGHT" -eq 343 ] && [ "$X" -ge 383 ] && [ "$X" -le 387 ] &&
        [ "$Y" -ge 212 ] && [ "$Y" -le 236 ]
}
wait_until 5 "the alert window floating at its place" at_its_place
import -window root "$E2E_TMP/tiling.png"
[ -n "${E2E_SHOTS:-}" ] && cp "$E2E_TMP/tiling.png" "$E2E_SHOTS/tiling.png"
# No title bar: the frame i3 puts around the window is no taller than the window itself.
untitled() {
    local frame
    frame=$(xwininfo -id "$1" -tree | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    [ "$(xwininfo -id "$frame" | awk '/Height:/ {print $2}')" = "$(xwininfo -id "$1" | awk '/Height:/ {print $2}')" ]
}
untitled "$alert" || fail "the alert window has a title bar"

# --- The Splash after activation floats without a title bar too.
splash_window() {
    local id
    for id in $(xdotool search --onlyvisible --class pripomin 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q UTILITY && { echo "$id"; return 0; }
    done
    return 1
}
xdotool windowactivate --sync "$(window_named Pripomin)" key F11
wait_until 10 "the Splash" splash_window
untitled "$(splash_window)" || fail "the Splash has a title bar"
echo PASS
