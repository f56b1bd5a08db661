#!/usr/bin/env bash
# The workstation lock from the tray menu: while locked, real keys and clicks aimed at another
# program do not reach it; a wrong password keeps the lock; the right one unlocks and the other
# program gets its input again. Set E2E_SHOTS to a folder to keep the screenshot.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"; source /tmp/displayfix.sh
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
xdotool key ctrl+a
xdotool type --delay 20 "Tajne heslo"
xdotool key Return
wait_until 10 "the lock window" lock_window
lock=$(lock_window)
eval "$(xdotool getwindowgeometry --shell "$lock")"
[ "$WIDTH" -ge 1024 ] && [ "$HEIGHT" -ge 768 ] || fail "the lock window covers ${WIDTH}x${HEIGHT} only"
import -window root "$SHOTS/lock.png"

# Aimed at the other program, for real: all of it goes to the lock window.
before=$(other_events)
xdotool key b alt+Tab c
# A wrong password (case and trailing blank matter) keeps the lock.
for wrong in "tajne heslo" "Tajne heslo "; do
    xdotool key ctrl+a BackSpace
    xdotool type --delay 20 "$wrong"
    xdotool key Return
done
lock_window >/dev/null || fail "a wrong password unlocked"
# The right one, typed after it, unlocks.
xdotool key ctrl+a BackSpace
xdotool type --delay 20 "Tajne heslo"
xdotool key Return
wait_until 10 "the lock to open" no_lock_window
[ "$(other_events)" = "$before" ] || fail "the other program got input while locked: $(tail -5 "$E2E_TMP/xev.log")"

# The grab is gone: the other program gets clicks again; the program still runs with its icon.
xdotool mousemove 250 400 click 1
wait_until 10 "a click at the other program after unlocking" sh -c "[ \$(grep -c '^ButtonPress event' '$E2E_TMP/xev.log') -gt $before ]"
tray_icon_window >/dev/null || fail "the icon went with the lock"
kill -0 "$PRIPOMIN_PID" || fail "the program ended"
echo PASS
