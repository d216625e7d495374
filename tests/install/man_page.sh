#!/bin/sh
# zarelctl's man page tells the exit status and every environment variable that the library and
# the tool read: each "ZARELCOM_..." name in their sources has its entry.
#     man_page.sh PAGE.1.gz SOURCE_DIR
set -eu
page=$1 source=$2
fail() { echo "man page test: $*" >&2; exit 1; }
[ -f "$page" ] || { echo "man page test: skipped; the build made no $page"; exit 77; }
text=$(zcat "$page")
echo "$text" | grep -qx '\.SH "EXIT STATUS"' || fail "$page has no EXIT STATUS section"
variables=$(grep -rhoE '"ZARELCOM_[A-Z_]+"' "$source/zarelcom" "$source/tools" | tr -d '"' | sort -u)
[ -n "$variables" ] || fail "no environment variable found in the sources"
for variable in $variables XDG_CONFIG_HOME; do
  echo "$text" | grep -qx "\.B $variable" || fail "$page does not describe $variable"
done
echo "man page test: EXIT STATUS and" $variables XDG_CONFIG_HOME "described"
