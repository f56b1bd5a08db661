#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the program costs and how fast it answers, measured on a private X display (Xvfb, openbox)
# with a tray host (trayer) in a private D-Bus session; prints a Markdown table beside the goals and
# the peer's figures.
#   bench/measure.sh [build-folder]     default build/; the program is built there first
# Environment: MEASURE_IDLE_SECONDS (60), MEASURE_STARTS (5), MEASURE_REMINDERS (10).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-${PRIPOMIN_BUILD_DIR:-$here/build}}")
idle_seconds=${MEASURE_IDLE_SECONDS:-60}
starts=${MEASURE_STARTS:-5}
reminders=${MEASURE_REMINDERS:-10}

if [ -z "${E2E_IN_SESSION:-}" ]; then
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j2 --target pripomin >/dev/null
fi
export PRIPOMIN_BIN=$build/bin/pripomin
source "$here/tests/e2e/lib.sh"
e2e_init "$@"
# Measured as users run it: accessibility only when something asks for it.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
e2e_start_display
e2e_start_tray

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

stop_program() {
    kill -TERM "$PRIPOMIN_PID"
    wait_until 20 "the program to end" process_gone "$PRIPOMIN_PID"
}

# The program's first visible window in background mode is its tray icon (the main window stays
# hidden); its size tells it from anything else.
tray_icon_now() {
    local id
    id=$(xdotool search --onlyvisible --class pripomin 2>/dev/null | head -1) || return 1
    [ -n "$id" ]
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

# --- Start to the tray icon shown, in background mode; the last start then idles hidden.
printf '[Pripomin]\nRun=1\nAktivácia=ok\n' >"$settings"
: >"$E2E_TMP/icon_ms"
for i in $(seq "$starts"); do
    t0=$EPOCHREALTIME
    e2e_start_pripomin
    until tray_icon_now; do
        [ $(($(now_ms) - ${t0/[.,]/} / 1000)) -lt 20000 ] || { echo "FAIL: no tray icon" >&2; exit 1; }
        sleep 0.003
    done
    ms_between "$t0" "$EPOCHREALTIME" >>"$E2E_TMP/icon_ms"
    tray_icon_window >/dev/null || { echo "FAIL: the first window was not the tray icon" >&2; exit 1; }
    [ "$i" -eq "$starts" ] || stop_program
done
! window_named Pripomin >/dev/null || { echo "FAIL: the main window shows in background mode" >&2; exit 1; }
sleep 10 # settle: what the start left to do is not idling
cpu0=$(cpu_ns "$PRIPOMIN_PID") sw0=$(switches "$PRIPOMIN_PID") t0=$EPOCHREALTIME
sleep "$idle_seconds"
cpu1=$(cpu_ns "$PRIPOMIN_PID") sw1=$(switches "$PRIPOMIN_PID") t1=$EPOCHREALTIME
span_ms=$(ms_between "$t0" "$t1")
idle_cpu=$(awk -v c=$((cpu1 - cpu0)) -v ms="$span_ms" 'BEGIN {printf "%.3f", c / (ms * 1e6) * 100}')
idle_wakeups=$(awk -v s=$((sw1 - sw0)) -v ms="$span_ms" 'BEGIN {printf "%.2f", s / (ms / 1000)}')
peak_idle_kb=$(peak_kb "$PRIPOMIN_PID")
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

mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }
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
