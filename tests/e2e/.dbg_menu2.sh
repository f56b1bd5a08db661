source "$(dirname "$0")/lib.sh"
e2e_init "$@"; source /tmp/displayfix.sh
e2e_start_display; export -f tray_menu_window window_bypassing
e2e_start_tray
e2e_spawn stdbuf -oL xev -geometry 300x200+100+300 -event button >"$E2E_TMP/xev.log" 2>&1
wait_until 20 "xev" window_named "Event Tester"
printf '[Pripomin]\nAktivácia=ok\n' > "$XDG_CONFIG_HOME/pripomin/PM002.INI"
e2e_start_pripomin
wait_until 20 "the icon" tray_icon_window
xdotool mousemove 250 400 click 1
wait_until 5 "click0" sh -c "[ \$(grep -c ButtonPress $E2E_TMP/xev.log) -ge 1 ]" && echo click0 ok
open_tray_menu && echo "open ok"
xdotool key Escape
wait_until 5 'menu closed' sh -c '! tray_menu_window'
xdotool mousemove 250 400 click 1
wait_until 5 "click1" sh -c "[ \$(grep -c ButtonPress $E2E_TMP/xev.log) -ge 2 ]" && echo click1 ok
