#!/bin/sh
# Installs the Debian packages on this machine with dpkg, builds the C example against the
# installed library both ways, runs it against the installed simulator, then purges the packages
# and checks that nothing of them is left. It changes the system, so it runs only as root with
# ZARELCOM_SYSTEM_TESTS=1 (as CI runs it); otherwise it is skipped (exit status 77).
#     install_debian_packages.sh BUILD_DIR VERSION EXAMPLES_DIR
set -eu
build=$1 version=$2 examples=$3
if [ "${ZARELCOM_SYSTEM_TESTS:-}" != 1 ] || [ "$(id -u)" -ne 0 ]; then
  echo "system install test: skipped; it installs into /usr and needs root and ZARELCOM_SYSTEM_TESTS=1"
  exit 77
fi
packages="libzarelcom1 libzarelcom-dev zarelcom-tools tegrola python3-zarelcom"
work=$(mktemp -d)
installed=""
cleanup() {
  # shellcheck disable=SC2086
  [ -n "$installed" ] && dpkg --purge $packages >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "system install test: $*" >&2; exit 1; }
is_installed() { dpkg-query -W -f '${Status}' "$1" 2>/dev/null | grep -q ' installed$'; }

for package in $packages; do
  is_installed "$package" && fail "$package is installed already; remove it first (dpkg --purge $package)"
done
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/debs" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
debs=""
for package in $packages; do
  debs="$debs $(find "$work/debs" -maxdepth 1 -name "${package}_${version}_*.deb")"
done

installed=yes
# shellcheck disable=SC2086
dpkg -i $debs >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
# shellcheck disable=SC2086
dpkg -L $packages | sort -u >"$work/owned"

ldconfig -p | grep -q 'libzarelcom\.so\.1 ' || fail "the dynamic linker does not know libzarelcom.so.1"
for file in /usr/share/man/man1/zarelctl.1.gz /usr/share/man/man1/zarel-sim.1.gz /usr/share/man/man1/tegrola.1.gz \
            /usr/share/bash-completion/completions/zarelctl; do
  [ -f "$file" ] || fail "$file is not installed"
done

# The example through pkg-config and through find_package(Zarelcom), with nothing but the system's
# own search paths.
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror -o "$work/send_logo_pkgconfig" "$examples/send_logo.c" $(pkg-config --cflags --libs zarelcom) \
  || fail "the example does not build through pkg-config"
cmake -S "$examples" -B "$work/example" >"$work/example.log" 2>&1 && cmake --build "$work/example" >>"$work/example.log" 2>&1 \
  || { cat "$work/example.log"; fail "the example does not build through find_package(Zarelcom)"; }

# The examples; the Python one finds the library as an installed package does, on its own.
env -u ZARELCOM_LIBRARY -u PYTHONPATH sh "$(dirname "$0")/run_examples.sh" /usr/bin "$work/send_logo_pkgconfig" \
  "$work/example/send_logo" "$examples/send_logo.py"

# Purged, nothing of them is left: no file, no folder that no other package owns, no linker entry.
# shellcheck disable=SC2086
dpkg --purge $packages >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge failed"; }
installed=""
for package in $packages; do
  is_installed "$package" && fail "$package is still installed"
  dpkg-query -W "$package" >/dev/null 2>&1 && fail "dpkg still knows $package after the purge"
done
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then
    [ -d "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
    fail "$path was left behind"
  fi
done <"$work/owned"
ldconfig -p | grep -q libzarelcom && fail "the dynamic linker still lists libzarelcom"
echo "system install test: installed $(echo $packages | wc -w) packages, sent a logo with the example built both ways and with the Python one, purged them without a trace"
