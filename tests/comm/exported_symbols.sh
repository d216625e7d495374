#!/bin/sh
# Compares the symbols the shared library exports with the functions its public header declares
# (every ZARELCOM_API declaration). Prints what is missing and what is extra; fails on either.
# Usage: exported_symbols.sh LIBRARY HEADER
set -eu
library=$1
header=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

grep -v '^[[:space:]]*#' "$header" | tr '\n' ' ' | grep -o 'ZARELCOM_API[^;(]*(' |
    sed -E 's/^.*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*\($/\1/' | sort -u >"$work/declared"
case "$library" in
*.dll) # the names of the export table of a Windows DLL
    x86_64-w64-mingw32-objdump -p "$library" |
        sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -nE 's/^[[:space:]]*\[ *[0-9]+\] //p' ;;
*) nm -D --defined-only "$library" | awk 'NF == 3 { print $3 }' ;;
esac | sort -u >"$work/exported"

comm -23 "$work/declared" "$work/exported" >"$work/missing"
comm -13 "$work/declared" "$work/exported" >"$work/extra"
echo "declared: $(wc -l <"$work/declared"), exported: $(wc -l <"$work/exported")"
status=0
if [ -s "$work/missing" ]; then
    echo "declared in the header but not exported ($(wc -l <"$work/missing")):"
    sed 's/^/  /' "$work/missing"
    status=1
fi
if [ -s "$work/extra" ]; then
    echo "exported but not declared in the header ($(wc -l <"$work/extra")):"
    sed 's/^/  /' "$work/extra"
    status=1
fi
[ "$status" -eq 0 ] && echo "the exported symbols are exactly the header's declarations"
exit "$status"
