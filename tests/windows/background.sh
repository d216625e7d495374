#!/bin/sh
# Starts or stops a line that the Windows tests need beside them (an echoing line or a printer),
# as the setup and cleanup steps of a CTest fixture. The line registers itself as com<PORT> in the
# dosdevices folder of the Wine prefix the tests run in ($WINEPREFIX, else ~/.wine), which the
# command finds in $ZARELCOM_PORT_DIR.
#   background.sh start PIDFILE PORT COMMAND...   returns once com<PORT> is there
#   background.sh stop PIDFILE
set -eu
action=$1
pidfile=$2
ZARELCOM_PORT_DIR="${WINEPREFIX:-$HOME/.wine}/dosdevices"
export ZARELCOM_PORT_DIR
case "$action" in
start)
    ready=$ZARELCOM_PORT_DIR/com$3
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
