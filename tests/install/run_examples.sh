#!/bin/sh
# Runs built copies of the C example against an installed simulator: zarel-sim as COM7 of a
# private port folder, a logo made by the installed zarelctl, and each example sending it.
#     run_examples.sh BIN_DIR EXAMPLE...
set -eu
bin=$1
shift
work=$(mktemp -d)
sim=""
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "examples: $*" >&2; exit 1; }

ZARELCOM_PORT_DIR=$work/ports
export ZARELCOM_PORT_DIR
mkdir -p "$ZARELCOM_PORT_DIR"
"$bin/zarel-sim" --com 7 >"$work/sim.log" 2>&1 &
sim=$!
tries=0
until [ -e "$ZARELCOM_PORT_DIR/com7" ]; do
  tries=$((tries + 1))
  [ $tries -le 100 ] || { cat "$work/sim.log"; fail "the simulator did not register COM7"; }
  sleep 0.1
done
QT_QPA_PLATFORM=offscreen "$bin/zarelctl" make-logo --text "This is Test." -o "$work/logo.bmp" >/dev/null \
  || fail "the installed zarelctl could not make a logo"
for example in "$@"; do
  "$example" 7 "$work/logo.bmp" >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "$example failed"; }
  grep -q '^ZAREL HP MODEL ' "$work/run.log" || { cat "$work/run.log"; fail "$example showed no system information"; }
  grep -q '^logo stored in slot [0-9]' "$work/run.log" || { cat "$work/run.log"; fail "$example stored no logo"; }
done
