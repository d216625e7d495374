#!/bin/sh
# Runs the matrix cells whose names start with the given fault side by side, one process each, and
# fails when any cell fails; each failed cell's output is shown.
#   run_cells.sh TEST-PROGRAM FAULT
set -u
program=$1
fault=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cells=$("$program" --gtest_list_tests --gtest_filter="Faults/FaultMatrix.Cell/${fault}_*" | sed -n 's|^  Cell/\([^ ]*\).*|\1|p')
[ -n "$cells" ] || { echo "no matrix cells for the fault $fault"; exit 1; }
for cell in $cells; do
  "$program" --gtest_filter="Faults/FaultMatrix.Cell/$cell" >"$work/$cell.log" 2>&1 &
  echo $! >"$work/$cell.pid"
done
failed=0
for cell in $cells; do
  if wait "$(cat "$work/$cell.pid")"; then
    grep -h " under " "$work/$cell.log" | grep -v '^\[' || true
  else
    failed=$((failed + 1))
    echo "---- $cell failed:"
    cat "$work/$cell.log"
  fi
done
total=$(echo "$cells" | wc -w)
echo "$((total - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
