#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from the program's start to its main window on screen, under Xvfb, over several starts.
#   bench/startup.sh [path/to/pripomin] [runs]
set -euo pipefail
bin=${1:-$(dirname "$0")/../build/bin/pripomin}
runs=${2:-10}
tmp=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT
: >"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do grep -q '[0-9]' "$tmp/display" && break; sleep 0.05; done
export DISPLAY=":$(tr -dc 0-9 <"$tmp/display")"
export XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
times=()
for i in $(seq "$runs"); do
    start=$(date +%s%N)
    "$bin" >/dev/null 2>&1 &
    pid=$!
    pids+=("$pid")
    until xdotool search --onlyvisible --name '^Pripomin$' >/dev/null 2>&1; do
        [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 10000 ] || { echo "no window after 10 s"; exit 1; }
        sleep 0.005
    done
    times+=($(( ($(date +%s%N) - start) / 1000000 )))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start to main window shown, ms over $runs starts: min $(echo "$sorted" | head -1)," \
    "median $(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p"), max $(echo "$sorted" | tail -1)"
