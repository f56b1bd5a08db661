#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the program costs and how fast it answers, measured on a private X display (Xvfb, openbox)
# with a tray host (trayer) and a sound server (PulseAudio with a null sink) in a private D-Bus
# session, beside a bare Qt tray program (bench_baretray) run the same way; prints two Markdown
# tables: the goals with the peer's figures, and Pripomin beside the bare program.
#   bench/measure.sh [build-folder]     default build/; the programs are built there first
# Environment: MEASURE_IDLE_SECONDS (60), MEASURE_STARTS (5), MEASURE_REMINDERS (10).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-${PRIPOMIN_BUILD_DIR:-$here/build}}")
idle_seconds=${MEASURE_IDLE_SECONDS:-60}
starts=${MEASURE_STARTS:-5}
reminders=${MEASURE_REMINDERS:-10}

if [ -z "${E2E_IN_SESSION:-}" ]; then
    # The tests' packages (a sound server among them, to see the melody start).
    source "$here/tools/packages.sh"
    packages+=("${test_packages[@]}")
    install_missing
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j2 --target pripomin bench_baretray >/dev/null
fi
export PRIPOMIN_BIN=$build/bin/pripomin
bare_bin=$build/bench/bench_baretray
source "$here/tests/e2e/lib.sh"
e2e_init "$@"
# Measured as users run it: accessibility only when something asks for it.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
e2e_start_display
e2e_start_tray
# A sound server with nowhere to play, so the melody's stream can be seen starting.
e2e_start_sound_server

settings=$XDG_CONFIG_HOME/pripomin/PM002.INI
# The program runs in Slovak; the figures here are read and printed with decimal points.
awk() { LC_ALL=C command awk "$@"; }
# $EPOCHREALTIME carries the locale's decimal separator; these work in microseconds.
now_ms() { local t=$EPOCHREALTIME; echo $((${t/[.,]/} / 1000)); }
ms_between() { echo $(((${2/[.,]/} - ${1/[.,]/}) / 1000)); } # two $EPOCHREALTIME values

# CPU time (ns) and context switches of all the program's threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{s += $1} END {printf "%d\n", s}'; }
switches() {
    cat /proc/"$1"/task/*/status | awk '/^(non)?voluntary_ctxt_switches/ {s += $2} END {print s}'
}
peak_kb() { awk '/^VmHWM/ {print $2}' /proc/"$1"/status; }
private_kb() { awk '/^RssAnon/ {print $2}' /proc/"$1"/status; }

stop_program() {
    kill -TERM "$PRIPOMIN_PID"
    wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
}

# A program's first visible window in background mode is its tray icon (the main window stays
# hidden): tray_icon_now CLASS.
tray_icon_now() {
    local id
    id=$(xdotool search --onlyvisible --class "$1" 2>/dev/null | head -1) || return 1
    [ -n "$id" ]
}

# Milliseconds from the start of a command until a window of the class shows: start_to_icon CLASS
# COMMAND...; the program's PID in $STARTED_PID.
start_to_icon() {
    local class=$1 t0
    shift
    t0=$EPOCHREALTIME
    e2e_spawn "$@" >>"$E2E_TMP/started.log" 2>&1
    STARTED_PID=$E2E_LAST_PID
    until tray_icon_now "$class"; do
        [ $(($(now_ms) - ${t0/[.,]/} / 1000)) -lt 20000 ] || { echo "FAIL: no tray icon of $class" >&2; exit 1; }
        sleep 0.003
    done
    ms_between "$t0" "$EPOCHREALTIME"
}
stop_pid() {
    kill -TERM "$1"
    wait_until 20 "the program to end" process_gone "$1"
}

summary() { # min, median, max of the numbers on stdin
    LC_ALL=C sort -n | awk '{v[NR] = $1} END {printf "median %s (%s–%s)", v[int((NR + 1) / 2)], v[1], v[NR]}'
}

# --- Start to the main window shown (an empty profile starts with the window).
: >"$E2E_TMP/window_ms"
for _ in $(seq "$starts"); do
    rm -f "$settings"
    t0=$EPOCHREALTIME
    e2e_start_pripomin
    until window_named Pripomin >/dev/null; do
        [ $(($(now_ms) - ${t0/[.,]/} / 1000)) -lt 20000 ] || { echo "FAIL: no main window" >&2; exit 1; }
        sleep 0.003
    done
    ms_between "$t0" "$EPOCHREALTIME" >>"$E2E_TMP/window_ms"
    peak_window_kb=$(peak_kb "$PRIPOMIN_PID")
    stop_program
done

# --- Start to the tray icon shown, in background mode, by turns with the bare program; the last
# starts of both then idle hidden side by side.
printf '[Pripomin]\nRun=1\nAktivácia=ok\n' >"$settings"
: >"$E2E_TMP/icon_ms"
: >"$E2E_TMP/bare_icon_ms"
for i in $(seq "$starts"); do
    start_to_icon pripomin "$PRIPOMIN_BIN" >>"$E2E_TMP/icon_ms"
    PRIPOMIN_PID=$STARTED_PID
    tray_icon_window >/dev/null || { echo "FAIL: the first window was not the tray icon" >&2; exit 1; }
    start_to_icon bench_baretray "$bare_bin" "$build/bin" >>"$E2E_TMP/bare_icon_ms"
    bare_pid=$STARTED_PID
    [ "$i" -eq "$starts" ] || { stop_program; stop_pid "$bare_pid"; }
done
! window_named Pripomin >/dev/null || { echo "FAIL: the main window shows in background mode" >&2; exit 1; }
sleep 10 # settle: what the start left to do is not idling
cpu0=$(cpu_ns "$PRIPOMIN_PID") sw0=$(switches "$PRIPOMIN_PID") t0=$EPOCHREALTIME
bare_cpu0=$(cpu_ns "$bare_pid") bare_sw0=$(switches "$bare_pid")
sleep "$idle_seconds"
cpu1=$(cpu_ns "$PRIPOMIN_PID") sw1=$(switches "$PRIPOMIN_PID") t1=$EPOCHREALTIME
bare_cpu1=$(cpu_ns "$bare_pid") bare_sw1=$(switches "$bare_pid")
span_ms=$(ms_between "$t0" "$t1")
share() { awk -v c="$1" -v ms="$span_ms" 'BEGIN {printf "%.3f", c / (ms * 1e6) * 100}'; }
rate() { awk -v s="$1" -v ms="$span_ms" 'BEGIN {printf "%.2f", s / (ms / 1000)}'; }
idle_cpu=$(share $((cpu1 - cpu0))) idle_wakeups=$(rate $((sw1 - sw0)))
bare_cpu=$(share $((bare_cpu1 - bare_cpu0))) bare_wakeups=$(rate $((bare_sw1 - bare_sw0)))
peak_idle_kb=$(peak_kb "$PRIPOMIN_PID") private_idle_kb=$(private_kb "$PRIPOMIN_PID")
bare_peak_kb=$(peak_kb "$bare_pid") bare_private_kb=$(private_kb "$bare_pid")
stop_pid "$bare_pid"

# --- The first opening of the main window from the tray menu: "Menu" chosen to the window shown.
open_tray_menu
t0=$EPOCHREALTIME
choose_tray_command 1
until window_named Pripomin >/dev/null; do
    [ $(($(now_ms) - ${t0/[.,]/} / 1000)) -lt 20000 ] || { echo "FAIL: no main window from the menu" >&2; exit 1; }
    sleep 0.003
done
restore_ms=$(ms_between "$t0" "$EPOCHREALTIME")
stop_program

# --- Reminders: slots 1… due two seconds apart, the program hidden in background mode. A spy on the
# window manager's client list stamps the moment each confirmation box is taken on screen.
if [ "$(date +%H%M)" = 2359 ]; then sleep 70; fi # the due seconds must not cross midnight
first_due=$(($(date +%s) + 6))
{
    printf '[Pripomin]\nRun=1\nAktivácia=ok\n'
    for k in $(seq "$reminders"); do
        due=$((first_due + 2 * (k - 1)))
        printf '[DAT%d]\nDátum=%s\nČas=%s\n' "$k" "$(sk_date "@$due")" "$(date -d "@$due" '+%-H:%-M:%-S')"
    done
} >"$settings"
mkfifo "$E2E_TMP/clients.fifo"
e2e_spawn sh -c 'exec stdbuf -oL xprop -root -spy _NET_CLIENT_LIST >"$1"' _ "$E2E_TMP/clients.fifo"
e2e_spawn bash -c 'while IFS= read -r line; do t=$EPOCHREALTIME; echo "${t/[.,]/} $line"; done <"$1" >"$2"' _ \
    "$E2E_TMP/clients.fifo" "$E2E_TMP/clients.log"
wait_until 10 "the client list spy" test -s "$E2E_TMP/clients.log"
# The sound server's events, stamped: a melody's start is a new sink input.
e2e_spawn bash -c 'LC_ALL=C stdbuf -oL pactl subscribe 2>/dev/null | while IFS= read -r line; do t=$EPOCHREALTIME; echo "${t/[.,]/} $line"; done >"$1"' _ \
    "$E2E_TMP/sound.log"
wait_until 10 "the sound event spy" sh -c 'pactl list short clients | grep -q pactl'
e2e_start_pripomin
: >"$E2E_TMP/box_ids"
for k in $(seq "$reminders"); do
    wait_until 15 "confirmation box $k" window_named "Pripomin - nový odkaz"
    box=$(window_named "Pripomin - nový odkaz")
    echo "$k $box" >>"$E2E_TMP/box_ids"
    xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
    xdotool key --clearmodifiers Return
    wait_until 10 "box $k answered" sh -c '! xdotool search --onlyvisible --name "^Pripomin - nový odkaz\$"'
    wait_until 10 "alert window $k" window_named "Pripomin - odkaz"
    xdotool windowactivate --sync "$(window_named "Pripomin - odkaz")" key Escape
    wait_until 10 "alert window $k to close" sh -c '! xdotool search --onlyvisible --name "^Pripomin - odkaz\$"'
done
peak_alerts_kb=$(peak_kb "$PRIPOMIN_PID")
stop_program
# Each box: the first client list after its due second that holds its window.
: >"$E2E_TMP/box_ms"
while read -r k box; do
    due=$((first_due + 2 * (k - 1)))
    hex=$(printf '0x%x' "$box")
    awk -v due="$due" -v id="$hex" '
        $1 >= due * 1e6 - 5e5 { for (i = 2; i <= NF; i++) { gsub(",", "", $i); if ($i == id) { printf "%.1f\n", ($1 - due * 1e6) / 1000; exit } } }
    ' "$E2E_TMP/clients.log" >>"$E2E_TMP/box_ms"
done <"$E2E_TMP/box_ids"
[ "$(wc -l <"$E2E_TMP/box_ms")" -eq "$reminders" ] || { echo "FAIL: boxes not all seen by the spy" >&2; exit 1; }

# The first melody: the first new sink input after the first due second.
first_sound_ms=$(awk -v due="$first_due" '$1 >= due * 1e6 - 5e5 && /new. on sink-input/ {printf "%.1f", ($1 - due * 1e6) / 1000; exit}' \
    "$E2E_TMP/sound.log")
[ -n "$first_sound_ms" ] || first_sound_ms="not heard"

mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f×", a / b}'; }
median() { LC_ALL=C sort -n "$1" | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
bare_icon=$(median "$E2E_TMP/bare_icon_ms")
late=$(awk '$1 > 20' "$E2E_TMP/box_ms" | wc -l)

cat <<EOF
| What | Goal | Pripomin | Peer (KDE's alarm scheduler) |
|---|---|---|---|
| CPU share hidden in background mode (${idle_seconds} s) | ≤ 0.03 % of a core | ${idle_cpu} % | about 0.02 % |
| wake-ups per second, same time (context switches of all threads) | ≤ 0.5 | ${idle_wakeups} | about 0.07 |
| peak resident memory (VmHWM): main window / hidden / after ${reminders} alerts | ≤ 45 MB | $(mb "$peak_window_kb") / $(mb "$peak_idle_kb") / $(mb "$peak_alerts_kb") MB | 116 MB |
| start to main window shown (${starts} starts), ms | ≤ 250 | $(summary <"$E2E_TMP/window_ms") | — |
| start to tray icon shown (${starts} starts), ms | — | $(summary <"$E2E_TMP/icon_ms") | 540–680 |
| reminder's second to its confirmation box (${reminders} reminders), ms | every one ≤ 20 | $(summary <"$E2E_TMP/box_ms"); ${late} over 20 | 135–158 |
EOF

cat <<EOF

| What, in the same run | Goal | Pripomin | bare Qt tray program | ratio |
|---|---|---|---|---|
| peak resident memory hidden in background mode | ≤ 1.12× | $(mb "$peak_idle_kb") MB | $(mb "$bare_peak_kb") MB | $(ratio "$peak_idle_kb" "$bare_peak_kb") |
| peak resident memory after ${reminders} alerts | ≤ 1.25× | $(mb "$peak_alerts_kb") MB | $(mb "$bare_peak_kb") MB | $(ratio "$peak_alerts_kb" "$bare_peak_kb") |
| private (anonymous) memory hidden | — | $(mb "$private_idle_kb") MB | $(mb "$bare_private_kb") MB | $(ratio "$private_idle_kb" "$bare_private_kb") |
| CPU share hidden (${idle_seconds} s) | as before | ${idle_cpu} % | ${bare_cpu} % | — |
| wake-ups per second hidden | as before | ${idle_wakeups} | ${bare_wakeups} | — |
| start to tray icon, median of ${starts}, ms | ≤ 1.3× the bare icon | $(median "$E2E_TMP/icon_ms") | ${bare_icon} | $(ratio "$(median "$E2E_TMP/icon_ms")" "$bare_icon") |
| start to main window, median of ${starts}, ms | ≤ 1.3× the bare icon | $(median "$E2E_TMP/window_ms") | ${bare_icon} | $(ratio "$(median "$E2E_TMP/window_ms")" "$bare_icon") |
| due second to the first alert's melody, ms | < 100 | ${first_sound_ms} | — | — |
| tray menu's "Menu" to the main window, first time, ms | ≤ 150 | ${restore_ms} | — | — |
EOF
