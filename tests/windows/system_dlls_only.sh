#!/bin/sh
# Fails when a Windows program or DLL needs a DLL that neither Windows nor the zip brings (a GCC
# runtime such as libstdc++-6.dll or libwinpthread-1.dll, which a user would not have).
# Usage: system_dlls_only.sh FILE...
set -eu
status=0
for file in "$@"; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        case $(echo "$dll" | tr '[:upper:]' '[:lower:]') in
        kernel32.dll | advapi32.dll | msvcrt.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | shell32.dll | ws2_32.dll | api-ms-win-*.dll | zarelcom.dll) ;;
        *) echo "$(basename "$file") needs $dll, which is not a Windows DLL"; status=1 ;;
        esac
    done
done
[ "$status" -eq 0 ] && echo "only Windows' own DLLs (and zarelcom.dll) are needed"
exit "$status"
