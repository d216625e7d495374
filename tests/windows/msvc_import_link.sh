#!/bin/sh
# Links msvc_import_caller.c as Microsoft's linker would, with /SAFESEH, against the 32-bit
# import library and runs it beside the DLL: exit code 250 is DllVersion (247) plus 3.
# Usage: msvc_import_link.sh SOURCE IMPORT-LIBRARY DLL-FOLDER WINE
set -eu
source=$1
library=$2
folder=$3
wine=$4
object=$folder/msvc_import_caller.obj
program=$folder/msvc_import_caller.exe
clang --target=i686-pc-windows-msvc -O1 -c "$source" -o "$object"
lld-link /nologo /machine:x86 /safeseh /subsystem:console /entry:Start@0 /nodefaultlib \
    "$object" "$library" /out:"$program"
status=0
"$wine" "$program" || status=$?
rm -f "$object" "$program"
echo "exit code $status"
[ "$status" -eq 250 ]
