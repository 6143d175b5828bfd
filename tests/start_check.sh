#!/usr/bin/env bash
# Starts the program as a user does, in an empty folder, on an X server of its own: its window must
# appear and stay. When the server goes away, as at the end of a session, the program must end by
# itself with Qt's status for a lost display (1), not crash on its way out (what it started beside
# the application object must be over by then).
set -euo pipefail
program="$1"
work="$(mktemp -d)"
server=""
cleanup() {
    [[ -n "$server" ]] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Listening on no file and keeping no lock file, so that nothing outside $work is touched.
Xvfb -displayfd 3 -nolisten tcp -nolisten unix -nolock 3>"$work/display" 2>"$work/server.log" &
server=$!
for _ in {1..100}; do
    [[ -s "$work/display" ]] && break
    sleep 0.1
done
[[ -s "$work/display" ]] || { cat "$work/server.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/folder"

(cd "$work/folder" && exec "$program") >"$work/program.log" 2>&1 &
program_pid=$!
if ! timeout 30 xdotool search --sync --name '^Didor AzodoVez$' >/dev/null; then
    echo "no window titled Didor AzodoVez appeared" >&2
    cat "$work/program.log" >&2
    exit 1
fi
sleep 0.5
kill -0 "$program_pid" 2>/dev/null || { echo "the program ended by itself" >&2; exit 1; }

kill "$server"
wait "$server" || true
server=""
for _ in {1..300}; do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
    kill -9 "$program_pid"
    echo "the program was still running 30 seconds after its display went away" >&2
    exit 1
fi
status=0
wait "$program_pid" || status=$?
if ((status != 1)); then
    echo "the program ended with status $status when its display went away, not 1:" >&2
    cat "$work/program.log" >&2
    exit 1
fi
