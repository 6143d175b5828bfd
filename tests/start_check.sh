#!/usr/bin/env bash
# Starts the program as a user does, in an empty folder, on an X server of its own: its window must
# appear and stay. When the server goes away, as at the end of a session, the program must end by
# itself with Qt's status for a lost display (1), not crash on its way out (what it started beside
# the application object must be over by then).
set -euo pipefail
work="$(mktemp -d)"
server=""
trap '[[ -n "$server" ]] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "$1" >&2; cat "$work/program.log" >&2 2>/dev/null || true; exit 1; }

# Listening on no file and keeping no lock file, so that nothing outside $work is touched.
Xvfb -displayfd 3 -nolisten tcp -nolisten unix -nolock 3>"$work/display" 2>"$work/server.log" &
server=$!
timeout 10 bash -c "until [[ -s '$work/display' ]]; do sleep 0.1; done" ||
    { cat "$work/server.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/folder"

(cd "$work/folder" && exec "$1") >"$work/program.log" 2>&1 &
program=$!
timeout 30 xdotool search --sync --name '^Didor AzodoVez$' >/dev/null ||
    fail "no window titled Didor AzodoVez appeared"
sleep 0.5
kill -0 "$program" 2>/dev/null || fail "the program ended by itself"

kill "$server"
wait "$server" || true
server=""
timeout 30 tail --pid="$program" -f /dev/null ||
    { kill -9 "$program"; fail "the program was still running 30 seconds after its display went away"; }
status=0
wait "$program" || status=$?
((status == 1)) || fail "the program ended with status $status when its display went away, not 1:"
