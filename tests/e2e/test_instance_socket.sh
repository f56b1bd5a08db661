#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Without XDG_RUNTIME_DIR the single-instance socket lies in a folder of the user's own: another user
# (nobody) who made that folder first and listens in it neither stops the program from starting nor
# hears from it, and a second start still finds the running program.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ "$(id -u)" != 0 ]; then
    echo "SKIP: running a process as another user needs root"
    exit 0
fi
e2e_start_display

# A temporary folder like /tmp: everyone may make names in it.
export TMPDIR=$E2E_TMP/tmp XDG_CACHE_HOME=$E2E_TMP/cache
chmod 711 "$E2E_TMP"
mkdir -m 1777 "$TMPDIR"
unset XDG_RUNTIME_DIR
name=pripomin-$(id -u)
e2e_spawn setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 -c '
import os, socket, sys
folder = sys.argv[1]
os.mkdir(folder, 0o777)
os.chmod(folder, 0o777)
s = socket.socket(socket.AF_UNIX)
s.bind(folder + "/" + sys.argv[2])
os.chmod(folder + "/" + sys.argv[2], 0o777)
s.listen()
print("listening", flush=True)
while True:
    s.accept()
    print("a connection", flush=True)
' "$TMPDIR/$name" "$name" >"$E2E_TMP/squatter.log" 2>&1
wait_until 10 "the other user's socket" grep -q listening "$E2E_TMP/squatter.log"

e2e_start_pripomin
first=$PRIPOMIN_PID
wait_until 20 "the main window" window_named Pripomin
e2e_start_pripomin
wait_until 20 "the second start to end" process_gone "$PRIPOMIN_PID"
kill -0 "$first" || fail "the first program ended"
[ "$(xdotool search --onlyvisible --name '^Pripomin$' | wc -l)" = 1 ] || fail "two programs run"
[ -S "$XDG_CACHE_HOME/pripomin/$name" ] || fail "no socket in the user's own folder"
[ "$(stat -c %a "$XDG_CACHE_HOME/pripomin")" = 700 ] || fail "the socket's folder is open to others"
! grep -q connection "$E2E_TMP/squatter.log" || fail "the other user's socket was asked"
echo PASS
