source "$(dirname "$0")/lib.sh"
e2e_init "$@"; source /tmp/displayfix.sh
e2e_start_display; export -f tray_menu_window window_bypassing
e2e_start_tray
printf '[Pripomin]\nAktivácia=ok\n' > "$XDG_CONFIG_HOME/pripomin/PM002.INI"
e2e_start_pripomin
wait_until 20 "the icon" tray_icon_window
for n in 1 2 3; do
  open_tray_menu && echo "open $n ok"
  xdotool key Escape
  wait_until 5 'menu closed' sh -c '! tray_menu_window'
done
for n in 1 2; do
  open_tray_menu && echo "open-choose $n ok"
  choose_tray_command 4

done
echo END
