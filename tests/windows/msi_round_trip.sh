#!/bin/sh
# The installer's round trip under Wine, as an operator's PC would see it: a silent install, the
# installed programs start, the installed Tegrola connects to the simulator and sends a text logo
# in each language (driven from outside by DRIVE), a newer package replaces it, an older one is
# refused over the newer, and an uninstall leaves nothing behind (files, Start-menu entry, the
# product's registration).
# Usage: msi_round_trip.sh WIXL MSI VERSION WXS FILES SIMULATOR DRIVE COM WIXL-DEFINES...
#   (wixl runs in FILES, the folder of what the package holds; the simulator answers on COM<COM>)
set -eu
wixl=$1
msi=$2
version=$3
source=$4
files=$5
simulator=$6
drive=$7
com=$8
shift 8
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'sh "$here/background.sh" stop "$work/printer.pid"; rm -rf "$work"' EXIT
prefix=${WINEPREFIX:-$HOME/.wine}
folder="$prefix/drive_c/Program Files/Zarelcom"
# The Start-menu entry: the machine's (ALLUSERS=1, as on Windows), or the user's, where Wine's
# installer puts it.
menus="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tegrola.lnk
$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tegrola.lnk"
menu_entry() { echo "$menus" | while IFS= read -r menu; do [ -f "$menu" ] && echo "$menu"; done; }
fail() { echo "$*"; exit 1; }
msiexec() { # msiexec ACTION MSI: its exit status (8 bits under Wine)
    status=0
    wine msiexec "$1" "$(wine winepath -w "$2" 2>/dev/null | tr -d '\r')" /qn >/dev/null 2>&1 || status=$?
    return "$status"
}
registered() { # the versions of the product the system lists as installed
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 2>/dev/null |
        tr -d '\r' | awk '/DisplayName/ { named = ($NF == "Zarelcom") } /DisplayVersion/ && named { print $NF }'
}

# The same files as a later release: one more in the last place of the version.
newer_version=$(echo "$version" | awk -F. '{ print $1 "." $2 "." $3 + 1 }')
newer="$work/zarelcom-$newer_version-x64.msi"
(cd "$files" && "$wixl" -a x64 -D Version="$newer_version" "$@" -o "$newer" "$source")

[ -z "$(registered)" ] || fail "Zarelcom is installed before the test: $(registered)"
msiexec /i "$msi" || fail "the install ended with status $status"
for program in zarelctl tegrola; do
    [ -f "$folder/$program.exe" ] || continue
    shown=$(wine "$folder/$program.exe" --version 2>/dev/null | tr -d '\r')
    echo "installed $program.exe --version: $shown"
    case "$shown" in *"$version"*) ;; *) fail "$program.exe --version does not say $version" ;; esac
done
[ -f "$folder/zarelctl.exe" ] && [ -f "$folder/zarelcom.dll" ] || fail "not installed under Program Files"
if [ -f "$folder/tegrola.exe" ]; then
    [ -n "$(menu_entry)" ] || fail "no Start-menu entry for Tegrola"
    echo "Start-menu entry: $(menu_entry)"
fi
[ "$(registered)" = "$version" ] || fail "registered as '$(registered)', not $version"

# Each language once, each with its own text: the simulator keeps every logo it received, which
# must be the very work file Tegrola made, in the slot Tegrola showed.
if [ -f "$folder/tegrola.exe" ]; then
    mkdir "$work/received"
    sh "$here/background.sh" start "$work/printer.pid" "$com" "$simulator" --com "$com" --dump "$work/received"
    tegrola=$(wine winepath -w "$folder/tegrola.exe" 2>/dev/null | tr -d '\r')
    for language in 0 1 2; do
        wine "$drive" "$tegrola" "$com" "$language" "LOT $language" >"$work/drive" 2>&1 ||
            fail "Tegrola in language $language: $(tr -d '\r' <"$work/drive")"
        slot=$(tr -d '\r' <"$work/drive" | sed -n 's/^slot //p')
        received="$work/received/$(printf 'LOGO%02d.BMP' "$slot")"
        cmp "$received" "$folder/tempnew.bmp" || fail "the simulator lacks the logo of language $language in slot $slot"
        echo "installed tegrola.exe in language $language: logo in slot $slot"
    done
    sh "$here/background.sh" stop "$work/printer.pid"
    # The operator's work files, not the package's: an uninstall leaves them, as on Windows.
    rm -f "$folder/tempnew.bmp" "$folder/tempold.bmp"
fi

msiexec /i "$newer" || fail "the upgrade ended with status $status"
[ "$(registered)" = "$newer_version" ] || fail "after the upgrade registered as '$(registered)'"
[ -f "$folder/zarelctl.exe" ] || fail "the upgrade lost zarelctl.exe"

if msiexec /i "$msi"; then fail "the older package installed over the newer"; fi
[ "$(registered)" = "$newer_version" ] || fail "the refused downgrade left '$(registered)'"

msiexec /x "$newer" || fail "the uninstall ended with status $status"
[ ! -e "$folder" ] || fail "the uninstall left $(ls "$folder")"
[ -z "$(menu_entry)" ] || fail "the uninstall left the Start-menu entry $(menu_entry)"
[ -z "$(registered)" ] || fail "the uninstall left the registration $(registered)"
echo "installed, upgraded to $newer_version, downgrade refused, uninstalled"
