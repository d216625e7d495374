#!/bin/sh
# Writes a help2man include file whose COMMANDS section holds each zarelctl command's own help.
#     command_help.sh ZARELCTL OUTPUT
set -eu
program=$1 output=$2
{
  echo "[COMMANDS]"
  "$program" --help | awk '$0 == "Commands:" { inside = 1; next } inside && /^$/ { exit } inside { print $1 }' |
    while read -r command; do
      printf '.SS %s\n.nf\n' "$command"
      # Up to the pointer to the common options, which the page shows once; roff's escapes and
      # requests quoted.
      "$program" "$command" --help | sed -e '/^Options of every command/,$d' -e 's/\\/\\e/g' -e "s/^[.']/\\\\\\&&/"
      printf '.fi\n'
    done
} >"$output.new"
mv "$output.new" "$output"
