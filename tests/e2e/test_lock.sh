#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The workstation lock from the tray menu: a keyboard held by another client when the lock opens is
# taken as soon as it lets go; a second start while the password is asked for and while locked shows
# no notes; another client's window mapped above the lock goes below it again; while locked, real
# keys and clicks aimed at another program do not reach it; a wrong password keeps the lock; the
# right one unlocks and the other program gets its input again. Set E2E_SHOTS to a folder to keep
# the screenshot.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_display
e2e_start_tray
SHOTS=${E2E_SHOTS:-$E2E_TMP}
mkdir -p "$SHOTS"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Another program that logs every key and click it receives.
e2e_spawn stdbuf -oL xev -geometry 300x200+100+300 -event keyboard -event button >"$E2E_TMP/xev.log" 2>&1
wait_until 20 "the other program's window" window_named "Event Tester"
other_events() { grep -c -E '^(KeyPress|ButtonPress) event' "$E2E_TMP/xev.log" || true; }
# Sanity: before the lock it does get clicks and keys.
xdotool mousemove 250 400 click 1
wait_until 10 "a click at the other program" sh -c "grep -q '^ButtonPress event' '$E2E_TMP/xev.log'"
xdotool key b
wait_until 10 "a key at the other program" sh -c "grep -q '^KeyPress event' '$E2E_TMP/xev.log'"

printf '[Pripomin]\nAktivácia=ok\n' >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
e2e_start_pripomin
wait_until 20 "the tray icon" tray_icon_window
open_tray_menu
choose_tray_command 3
wait_until 10 "the password box" window_named "Pripomin - zámok"
box_focused() { [ "$(xdotool getwindowfocus)" = "$(window_named "Pripomin - zámok")" ]; }
wait_until 10 "the password box to have the keyboard" box_focused
box=$(window_named "Pripomin - zámok")
xclient() { /usr/bin/python3 "$E2E_DIR/xclient.py" "$@"; }

# A second start while the password is asked for: no main window; the box comes forward again
# from under the other program.
second_start() {
    local n=${#E2E_PIDS[@]}
    e2e_spawn "$PRIPOMIN_BIN" >"$E2E_TMP/second$n.log" 2>&1
    wait_until 20 "the second start to end" process_gone "$E2E_LAST_PID"
    ! window_named Pripomin >/dev/null || fail "a second start showed the main window"
}
xdotool windowactivate --sync "$(window_named "Event Tester")"
wait_until 10 "the other program in front" sh -c '[ "$(xdotool getwindowfocus)" != "'"$box"'" ]'
second_start
wait_until 10 "the password box to come forward" box_focused
import -window root "$SHOTS/box.png"
xdotool key ctrl+a
xdotool type --delay 20 "Tajne heslo"

# Another client holds the keyboard while the lock window opens (the box is confirmed through the
# accessibility bus, which needs no keyboard), and lets go 8 s later.
e2e_spawn /usr/bin/python3 "$E2E_DIR/xclient.py" hold 8 1 >"$E2E_TMP/hold.log" 2>&1
holder=$E2E_LAST_PID
wait_until 10 "the other client to hold the keyboard" grep -q held "$E2E_TMP/hold.log"
atspi click OK
wait_until 10 "the lock window" lock_window
wait_until 20 "the other client to let go" process_gone "$holder"
wait "$holder" || fail "the lock did not hold keyboard and pointer within 1 s: $(cat "$E2E_TMP/hold.log")"
cat "$E2E_TMP/hold.log"

lock=$(lock_window)
eval "$(xdotool getwindowgeometry --shell "$lock")"
[ "$WIDTH" -ge 1024 ] && [ "$HEIGHT" -ge 768 ] || fail "the lock window covers ${WIDTH}x${HEIGHT} only"
# A second start while locked shows no notes; the lock keeps keyboard and pointer.
second_start
xclient grabbed || fail "the lock lost its grab at a second start"
# Another client's window mapped above the lock goes below it again.
xclient cover "$lock" 5 >"$E2E_TMP/cover.log" 2>&1 || fail "$(cat "$E2E_TMP/cover.log")"
import -window root "$SHOTS/lock.png"

# Aimed at the other program, for real: all of it goes to the lock window.
before=$(other_events)
xdotool mousemove 250 400 click 1 click 3
xdotool key b alt+Tab c
# A wrong password (case and trailing blank matter) keeps the lock.
for wrong in "tajne heslo" "Tajne heslo "; do
    xdotool key ctrl+a BackSpace
    xdotool type --delay 20 "$wrong"
    xdotool key Return
done
xdotool mousemove 250 400 click 1
lock_window >/dev/null || fail "a wrong password unlocked"
# The right one, typed after it, unlocks.
xdotool key ctrl+a BackSpace
xdotool type --delay 20 "Tajne heslo"
xdotool key Return
wait_until 10 "the lock to open" no_lock_window
[ "$(other_events)" = "$before" ] || fail "the other program got input while locked: $(tail -5 "$E2E_TMP/xev.log")"

# The grab is gone: the other program gets clicks again; the program still runs with its icon.
xdotool mousemove 250 400 click 1
clicked_again() { [ "$(other_events)" -gt "$before" ]; }
wait_until 10 "a click at the other program after unlocking" clicked_again
tray_icon_window >/dev/null || fail "the icon went with the lock"
kill -0 "$PRIPOMIN_PID" || fail "the program ended"

# The session's end while locked still saves the notes.
open_tray_menu
choose_tray_command 3
wait_until 10 "the password box again" box_focused
xdotool key Return
wait_until 10 "the lock window again" lock_window
rm -f "$(note_file 3)"
kill -TERM "$PRIPOMIN_PID"
wait_until 20 "the program to end while locked" process_gone "$PRIPOMIN_PID"
[ -f "$(note_file 3)" ] || fail "the end of the session while locked did not save the notes"
echo PASS
