#!/bin/sh
# zarelctl.exe against a printer on a device server: by URL, and by the COM number mapped to it.
# Usage: network_session.sh WINE ZARELCTL_EXE COM URL_FILE
set -eu
wine=$1
zarelctl=$2
com=$3
url=$(cat "$4")
expect() { # expect TEXT OUTPUT
    case "$2" in *"$1"*) ;; *) printf 'expected "%s" in:\n%s\n' "$1" "$2"; exit 1 ;; esac
}
run() { "$wine" "$zarelctl" "$@" 2>&1 | tr -d '\r'; }
expect "20260001" "$(run --port "$url" --baud 38400 info)"
expect "$url" "$(run ports)"
expect "20260001" "$(run --port "$com" --baud 38400 info)"
echo "zarelctl network session passed"
