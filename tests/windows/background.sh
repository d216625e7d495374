#!/bin/sh
# Starts or stops a program that the Windows tests need beside them (a line or a printer), as
# the setup and cleanup steps of a CTest fixture.
#   background.sh start PIDFILE READY_PATH COMMAND...   returns once READY_PATH exists
#   background.sh stop PIDFILE
set -eu
action=$1
pidfile=$2
case "$action" in
start)
    ready=$3
    shift 3
    rm -f "$ready"
    # Its own session and no shared output: CTest waits for nothing of it.
    setsid "$@" </dev/null >"$pidfile.log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
        [ -e "$ready" ] || [ -L "$ready" ] && exit 0
        kill -0 "$(cat "$pidfile")" 2>/dev/null || break
        sleep 0.1
    done
    echo "did not start: $*"
    cat "$pidfile.log"
    exit 1
    ;;
stop)
    [ -f "$pidfile" ] || exit 0
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null || true
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    rm -f "$pidfile"
    ;;
esac
