# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers of the end-to-end tests: a private X display, D-Bus session, window manager and
# accessibility bus; the real program started with temporary XDG folders; waiting with deadlines.
# Every process started here is ended by PID when the test exits.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$@"             # re-runs the test inside its own D-Bus session
#   e2e_start_display         # Xvfb (+ openbox, accessibility bus)
#   e2e_start_pripomin        # the program; PRIPOMIN_PID
#   wait_until 10 "what we wait for" command args...

set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
PRIPOMIN_BIN=${PRIPOMIN_BIN:-$E2E_DIR/../../build/bin/pripomin}
E2E_PIDS=()
E2E_EXIT_HOOKS=()

e2e_init() {
    if [ -z "${E2E_IN_SESSION:-}" ]; then
        export E2E_IN_SESSION=1
        exec dbus-run-session -- bash "$0" "$@"
    fi
    E2E_TMP=$(mktemp -d)
    export XDG_CONFIG_HOME=$E2E_TMP/config XDG_DATA_HOME=$E2E_TMP/data XDG_RUNTIME_DIR=$E2E_TMP/runtime
    mkdir -p "$XDG_CONFIG_HOME/pripomin" "$XDG_DATA_HOME/pripomin" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=sk_SK.UTF-8 LC_ALL=sk_SK.UTF-8
    unset QT_QPA_PLATFORM
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    local status=$?
    local pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    local hook
    for hook in "${E2E_EXIT_HOOKS[@]}"; do
        eval "$hook" || status=1
    done
    if [ "$status" -ne 0 ] && [ -n "${E2E_TMP:-}" ]; then
        echo "--- program output ---"
        cat "$E2E_TMP"/pripomin*.log 2>/dev/null | tail -40 || true
    fi
    [ -n "${E2E_KEEP:-}" ] || rm -rf "${E2E_TMP:-/nonexistent}"
    exit "$status"
}

# e2e_at_exit 'COMMAND': run when the test ends, after its processes have ended; for undoing what a
# test changed on the machine itself (an installed package).
e2e_at_exit() { E2E_EXIT_HOOKS+=("$1"); }

# Runs a command in the background and remembers its PID for the cleanup.
e2e_spawn() {
    "$@" &
    E2E_PIDS+=($!)
    E2E_LAST_PID=$!
}

# wait_until SECONDS DESCRIPTION COMMAND...: polls until the command succeeds or the deadline passes.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "FAIL: waited ${seconds}s for: $what" >&2
            return 1
        fi
        sleep 0.1
    done
}

# stays_for SECONDS DESCRIPTION COMMAND...: the command keeps succeeding for the whole time.
stays_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while [ "$SECONDS" -lt "$deadline" ]; do
        if ! "$@" >/dev/null 2>&1; then
            echo "FAIL: did not stay so for ${seconds}s: $what" >&2
            return 1
        fi
        sleep 0.2
    done
}

e2e_start_display() {
    local numberfile=$E2E_TMP/display
    : >"$numberfile"
    e2e_spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$numberfile" 2>"$E2E_TMP/xvfb.log"
    wait_until 20 "the X server to choose a display" grep -q '[0-9]' "$numberfile"
    export DISPLAY=":$(tr -dc 0-9 <"$numberfile")"
    wait_until 20 "the X display" xdpyinfo
    if [ "${E2E_NO_WM:-}" != 1 ]; then
        e2e_spawn openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1
        wait_until 20 "the window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window'
        e2e_wait_for_managed_windows
    fi
    e2e_start_atspi
}

# A window manager may announce itself before it maps what clients ask it to: openbox was seen to
# leave the first window after its start unmapped for good. A probe window is mapped until one
# shows, so the test's own windows come to a manager that maps them.
e2e_wait_for_managed_windows() {
    local attempt probe
    for attempt in 1 2 3 4 5; do
        xev -geometry 10x10+0+0 -name pripomin-e2e-probe >/dev/null 2>&1 &
        probe=$!
        if wait_until 3 "a mapped probe window" window_named pripomin-e2e-probe 2>/dev/null; then
            kill "$probe" 2>/dev/null || true
            wait "$probe" 2>/dev/null || true
            return 0
        fi
        kill "$probe" 2>/dev/null || true
        wait "$probe" 2>/dev/null || true
    done
    echo "FAIL: the window manager maps no window" >&2
    return 1
}

e2e_start_atspi() {
    e2e_spawn /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1
    wait_until 20 "the accessibility bus" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress
    # The registry starts on first use; a program whose first accessibility calls wait for it can
    # stall its start-up for many seconds, so it is started and answering before any program runs.
    wait_until 30 "the accessibility registry" /usr/bin/python3 -c \
        'import pyatspi; pyatspi.Registry.getDesktop(0).childCount'
}

e2e_start_pripomin() {
    local n=${#E2E_PIDS[@]}
    e2e_spawn "$PRIPOMIN_BIN" >"$E2E_TMP/pripomin$n.log" 2>&1
    PRIPOMIN_PID=$E2E_LAST_PID
}

# The first visible top-level window whose title is exactly the given text.
window_named() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        echo "$id"
        return 0
    done
    return 1
}

# Accessibility queries of the running program (see atspi.py).
atspi() { /usr/bin/python3 "$E2E_DIR/atspi.py" "$@"; }

ini() { cat "$XDG_CONFIG_HOME/pripomin/PM002.INI"; }
note_file() { echo "$XDG_DATA_HOME/pripomin/Dat$1.RTF"; }

process_gone() { ! kill -0 "$1" 2>/dev/null; }

# The locale's short date of a day given as yyyy-mm-dd, as the program writes it (sk_SK: d. M. yyyy).
sk_date() { date -d "$1" '+%-d. %-m. %Y'; }

# --- Notification area, logind and the lock (background mode and workstation lock tests) ---

# A sound server with nowhere to play (PulseAudio with a null sink), so a melody can be seen playing.
e2e_start_sound_server() {
    e2e_spawn pulseaudio -n --daemonize=no --exit-idle-time=-1 --load=module-null-sink \
        --load=module-native-protocol-unix >"$E2E_TMP/pulseaudio.log" 2>&1
    wait_until 20 "the sound server" pactl info
}
# A stream of the program plays on the sound server.
melodies() { LC_ALL=C pactl list sink-inputs 2>/dev/null | grep -c 'application.name = "Pripomin"'; }
melody_playing() { [ "$(melodies)" -gt 0 ]; }

# trayer as the notification area (XEmbed; the private session bus has no StatusNotifierWatcher);
# its PID in TRAYER_PID.
e2e_start_tray() {
    e2e_spawn trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        --transparent true --alpha 0 >>"$E2E_TMP/trayer.log" 2>&1
    TRAYER_PID=$E2E_LAST_PID
    wait_until 20 "the notification area" xdotool search --onlyvisible --class trayer
}

# Whether a window titled "Pripomin", mapped or not, is in the given state (Normal, Iconic).
main_window_state() {
    local id
    for id in $(xdotool search --name '^Pripomin$' 2>/dev/null); do
        xprop -id "$id" WM_STATE 2>/dev/null | grep -q "state: $1" && return 0
    done
    return 1
}
main_window_unmapped() { ! window_named Pripomin; }
# Hidden: neither on screen nor minimised in the task bar.
main_window_hidden() { main_window_unmapped && ! main_window_state Iconic; }

# A private system bus with python3-dbusmock's logind; method calls are logged to $LOGIND_LOG.
e2e_start_logind_mock() {
    local dir=$E2E_TMP/system-bus
    mkdir -p "$dir"
    e2e_spawn dbus-daemon --session --nofork --print-address=3 --address="unix:path=$dir/sys.sock" 3>"$dir/addr"
    wait_until 20 "the private system bus" test -s "$dir/addr"
    DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$dir/addr")
    export DBUS_SYSTEM_BUS_ADDRESS
    LOGIND_LOG=$E2E_TMP/logind.log
    e2e_spawn /usr/bin/python3 -m dbusmock --system --template logind -l "$LOGIND_LOG" >"$E2E_TMP/dbusmock.log" 2>&1
    wait_until 20 "the logind mock" dbus-send --system --print-reply --dest=org.freedesktop.login1 \
        /org/freedesktop/login1 org.freedesktop.DBus.Peer.Ping
}

# The program's icon windows in the notification area: small, with _XEMBED_INFO (Qt sets that
# property on its other windows too, so the size tells them apart).
tray_icon_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class pripomin 2>/dev/null); do
        xprop -id "$id" _XEMBED_INFO 2>/dev/null | grep -q '=' || continue
        xwininfo -id "$id" 2>/dev/null | awk '/Width:|Height:/ {if ($2 > 48) big = 1} END {exit big}' && echo "$id"
    done
}
tray_icon_window() { tray_icon_windows | head -1 | grep .; }
no_tray_icon() { ! tray_icon_window; }

# Visible windows of the program bypassing the window manager (menus, the lock window), with a size
# test: window_bypassing MIN_WIDTH MAX_WIDTH.
window_bypassing() {
    local id width
    for id in $(xdotool search --onlyvisible --class pripomin 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        width=$(xwininfo -id "$id" | awk '/Width:/ {print $2}')
        if [ "$width" -ge "$1" ] && [ "$width" -le "$2" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
tray_menu_window() { window_bypassing 40 400; }
lock_window() { window_bypassing 1000 100000; }
no_lock_window() { ! lock_window; }

# Right-clicks the icon for real (through the X server) and waits for the menu. Successive calls
# click 12 pixels apart, so two quick ones are not taken for a double click.
TRAY_CLICK_SIDE=-6
open_tray_menu() {
    local icon x y
    icon=$(tray_icon_window)
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    TRAY_CLICK_SIDE=$((-TRAY_CLICK_SIDE))
    x=$((X + WIDTH / 2 + TRAY_CLICK_SIDE)) y=$((Y + HEIGHT / 2))
    xdotool mousemove "$x" "$y" click 3
    wait_until 10 "the tray menu" tray_menu_window
}

# Chooses the N-th command of the open tray menu by keyboard (separators are skipped):
# 1 "Menu", 2 "Ukonči program", 3 "Zamkni počítač", 4 "Vypni počítač".
choose_tray_command() {
    local keys=()
    for _ in $(seq "$1"); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
}

# A picture of a window's area of the screen (for comparing and looking at).
shoot_window() {
    local id=$1 out=$2
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
}

# --- Xfce 4.18: xfwm4 and xfce4-panel with its notification area (a StatusNotifierWatcher and an
# XEmbed tray in one). Call with E2E_NO_WM=1 set before e2e_start_display.
XFCE_PANEL_PID=
e2e_start_xfce() {
    local conf=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$conf"
    cat >"$conf/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="length" type="uint" value="100"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
    # Started here rather than left to the bus, which may activate nothing; the wait asks the bus
    # about the name, which activates nothing either.
    e2e_spawn /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd >"$E2E_TMP/xfconfd.log" 2>&1
    wait_until 20 "xfconfd" bus_name_owned org.xfce.Xfconf
    e2e_spawn xfwm4 --compositor=off >"$E2E_TMP/xfwm4.log" 2>&1
    wait_until 20 "the window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window'
    [ "${E2E_XFCE_PANEL_LATER:-}" = 1 ] || e2e_start_xfce_panel
}

e2e_start_xfce_panel() {
    e2e_spawn xfce4-panel --disable-wm-check >>"$E2E_TMP/xfce4-panel.log" 2>&1
    XFCE_PANEL_PID=$E2E_LAST_PID
    wait_until 30 "the panel's StatusNotifierWatcher" sn_host_registered
}

bus_name_owned() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" | grep -q true
}
sn_watcher_property() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1"
}
sn_host_registered() { sn_watcher_property IsStatusNotifierHostRegistered | grep -q true; }
# The registered items, one "service/path" (or "service") a line.
sn_items() { sn_watcher_property RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'"; }
sn_item_registered() { sn_items | grep -q .; }
no_sn_item() { ! sn_item_registered; }

# i3, a tiling window manager, with no bar (so no notification area). Call with E2E_NO_WM=1 set
# before e2e_start_display.
e2e_start_i3() {
    printf '# i3 config file (v4)\nfont pango:DejaVu Sans 8\n' >"$E2E_TMP/i3.conf"
    e2e_spawn i3 -c "$E2E_TMP/i3.conf" >"$E2E_TMP/i3.log" 2>&1
    wait_until 20 "the window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window'
}

# The title a window manager shows: _NET_WM_NAME.
shown_title() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }

# The panel's notification-area plug-in, where the icon is drawn (not its tooltip or menu, which
# bypass the window manager), and the menus it opens.
xfce_tray_window() {
    local id
    for id in $(xdotool search --onlyvisible --class wrapper-2.0 2>/dev/null); do
        xwininfo -id "$id" | grep -q 'Override Redirect State: no' || continue
        xwininfo -id "$id" | awk '/Width:/ {exit !($2 >= 16)}' && { echo "$id"; return 0; }
    done
    return 1
}
# A window that shows a picture rather than one plain colour (an icon, not an empty plug-in).
window_shows_picture() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    [ "$(import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -format %k info:- 2>/dev/null)" -gt 8 ]
}
xfce_icon_shown() { window_shows_picture "$(xfce_tray_window)"; }
xfce_menu_window() {
    local id
    for id in $(xdotool search --onlyvisible --class wrapper-2.0 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU && { echo "$id"; return 0; }
    done
    return 1
}

# Settings with slot K due SECONDS from now (not across midnight); the due epoch second in $DUE.
write_slot_due_in() {
    if [ "$(date +%H%M)" = 2359 ]; then sleep 70; fi
    DUE=$(($(date +%s) + $1))
    printf '[Pripomin]\nRun=1\n[DAT%s]\nDátum=%s\nČas=%s\n' "$2" "$(sk_date "@$DUE")" \
        "$(date -d "@$DUE" '+%-H:%-M:%-S')" >"$XDG_CONFIG_HOME/pripomin/PM002.INI"
}

# lo_convert FORMAT OUTDIR FILE...: LibreOffice's conversion of the files (FORMAT as --convert-to
# takes it: html, fodt, txt), with a profile of its own; a first start takes some seconds.
lo_convert() {
    local format=$1 outdir=$2
    shift 2
    e2e_spawn env HOME="$E2E_TMP/lo-home" soffice --headless --norestore --convert-to "$format" \
        --outdir "$outdir" "$@" >>"$E2E_TMP/soffice.log" 2>&1
    wait_until 180 "LibreOffice to convert to $format" process_gone "$E2E_LAST_PID"
}
