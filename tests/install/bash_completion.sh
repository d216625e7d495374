#!/bin/bash
# zarelctl's bash completion against the built program: what each typed line completes to, with
# the simulator as COM7 for the port numbers.
#     bash_completion.sh COMPLETION_FILE ZARELCTL ZAREL_SIM
set -eu
# shellcheck disable=SC1090
source "$1"
zarelctl=$2
ZARELCOM_PORT_DIR=$(mktemp -d)
export ZARELCOM_PORT_DIR
"$3" --com 7 >/dev/null 2>&1 &
sim=$!
trap 'kill $sim; wait $sim; rm -rf "$ZARELCOM_PORT_DIR"' EXIT
for ((tries = 0; tries < 100; tries++)); do
  [[ -e $ZARELCOM_PORT_DIR/com7 ]] && break
  sleep 0.1
done
failures=0

# The words typed (the last one is being completed) | words the completion must offer | words it
# must not offer.
while IFS='|' read -r typed offered refused; do
  read -r -a COMP_WORDS <<<"$zarelctl $typed"
  [[ $typed == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _zarelctl || true
  for word in $offered; do
    [[ " ${COMPREPLY[*]} " == *" $word "* ]] || { echo "'zarelctl $typed' does not offer $word: ${COMPREPLY[*]}"; failures=$((failures + 1)); }
  done
  for word in $refused; do
    [[ " ${COMPREPLY[*]} " != *" $word "* ]] || { echo "'zarelctl $typed' offers $word: ${COMPREPLY[*]}"; failures=$((failures + 1)); }
  done
done <<'CASES'
sen|send-logo|show-logo
 |info send-logo make-logo|--port
--json co|counter conveyor|clock
--b|--baud|--port
--baud |9600 19200 115200|info
--json --baud 9600 |info send-logo|9600
-j -p 7 sen|send-logo|
--port |7|info
-b |9600 19200|info
-p |7|info
send-logo --s|--slot|--baud
send-logo lot.bmp --|--slot --port --json|--text
counter |get set|on off info
counter get |||get set
--port 7 print o|on off|
make-logo --text |||--size --font
CASES
echo "$failures failed, completion cases done"
[ $failures -eq 0 ]
