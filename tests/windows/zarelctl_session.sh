#!/bin/sh
# A zarelctl.exe session against the simulator, as a production-line script would run it: read,
# set and read back, make logos from text and from a picture and look at them, send a logo and
# save it again, and a refused command's message and status.
# Usage: zarelctl_session.sh WINE ZARELCTL_EXE PORT
set -eu
wine=$1
zarelctl=$2
port=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() { # zarelctl's output without Windows line ends, and its exit status
    if "$wine" "$zarelctl" --port "$port" "$@" >"$work/out" 2>&1; then status=0; else status=$?; fi
    tr -d '\r' <"$work/out"
    return "$status"
}
windows() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; } # the Windows name of a path here
expect() { # expect TEXT OUTPUT
    case "$2" in *"$1"*) ;; *) printf 'expected "%s" in:\n%s\n' "$1" "$2"; exit 1 ;; esac
}

expect "20260001" "$(run info)"
run measure 1 >/dev/null
expect '"measure":1' "$(run --json measure)"
# Text drawn by GDI: 25 rows, the same file every time; the picture made from it keeps its dots.
run make-logo --text "LOT 42" --font Tahoma --size 12 --height 25 -o "$(windows "$work/text.bmp")" >/dev/null
run make-logo --text "LOT 42" --font Tahoma --size 12 --height 25 -o "$(windows "$work/again.bmp")" >/dev/null
cmp "$work/text.bmp" "$work/again.bmp"
shown=$(run show-logo "$(windows "$work/text.bmp")")
expect " x 25 dots" "$shown"
expect "#" "$shown"
run make-logo --picture "$(windows "$work/text.bmp")" --height 25 -o "$(windows "$work/picture.bmp")" >/dev/null
[ -s "$work/picture.bmp" ] || { echo "make-logo --picture wrote nothing"; exit 1; }
head -c 1462 /dev/urandom >"$work/logo.bmp"
sent=$(run send-logo "$(windows "$work/logo.bmp")")
printf '%s\n' "$sent"
slot=$(printf '%s\n' "$sent" | sed -n 's/.*slot \([0-9][0-9]*\).*/\1/p' | head -n 1)
[ -n "$slot" ] || { echo "no slot in: $sent"; exit 1; }
run backup-logo "$slot" "$(windows "$work/backup.bmp")"
head -c 1462 "$work/backup.bmp" | cmp - "$work/logo.bmp"
status=0
refused=$(run upload NO-SUCH-FILE.DAT "$(windows "$work/none.dat")") || status=$?
printf '%s\n' "$refused"
[ "$status" -eq 1 ] || { echo "a refused fetch ended with status $status, not 1"; exit 1; }
[ ! -e "$work/none.dat" ] || { echo "a refused fetch left a file"; exit 1; }
echo "zarelctl session passed"
