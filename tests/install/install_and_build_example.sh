#!/bin/sh
# Installs the build into a temporary prefix, builds the C example against the installed library
# through pkg-config and through find_package(Zarelcom), and runs both against the installed
# simulator: the road an integrator takes.
#     install_and_build_example.sh BUILD_DIR EXAMPLES_DIR C_COMPILER [C_FLAGS]
# C_FLAGS are the build's own (a sanitizer build's library needs its runtime in the example too).
set -eu
build=$1 examples=$2 cc=$3 cflags=${4:-}
work=$(mktemp -d)
sim=""
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install test: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install failed"; }

# The library with its SONAME link, the header, both package descriptions and the programs.
library=$(find "$prefix" -name 'libzarelcom.so.1.*' -type f)
libdir=$(dirname "$library")
[ -n "$library" ] || fail "libzarelcom.so.1.x is not installed"
[ "$(readlink "$libdir/libzarelcom.so.1")" = "$(basename "$library")" ] || fail "libzarelcom.so.1 does not link to $library"
[ -L "$libdir/libzarelcom.so" ] || fail "the development link libzarelcom.so is missing"
objdump -p "$library" | grep -q 'SONAME *libzarelcom.so.1$' || fail "the library's SONAME is not libzarelcom.so.1"
[ -f "$prefix/include/zarelcom/zarelcom.h" ] || fail "the header is not installed"
[ -f "$libdir/pkgconfig/zarelcom.pc" ] || fail "zarelcom.pc is not installed"
[ -f "$libdir/cmake/Zarelcom/ZarelcomConfig.cmake" ] || fail "the CMake package is not installed"
for program in zarelctl zarelctl-logo tegrola zarel-sim; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not installed"
done

# Through pkg-config.
PKG_CONFIG_PATH=$libdir/pkgconfig
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
# shellcheck disable=SC2086
"$cc" $cflags -std=c99 -Wall -Werror -o "$work/send_logo_pkgconfig" "$examples/send_logo.c" \
  $(pkg-config --cflags --libs zarelcom) -Wl,-rpath,"$libdir" || fail "the example does not build through pkg-config"

# One release number everywhere: the header's macros, pkg-config and the library's file name.
cat >"$work/version.c" <<'VERSION_C'
#include <zarelcom/zarelcom.h>
#include <stdio.h>
int main(void)
{
    printf("%s %d.%d.%d\n", ZARELCOM_VERSION_STRING, ZARELCOM_VERSION_MAJOR, ZARELCOM_VERSION_MINOR, ZARELCOM_VERSION_PATCH);
    return 0;
}
VERSION_C
# shellcheck disable=SC2046
# shellcheck disable=SC2086
"$cc" $cflags -std=c99 -Wall -Werror -o "$work/version" "$work/version.c" $(pkg-config --cflags zarelcom) \
  || fail "a program that includes only the installed header does not build"
version=$(pkg-config --modversion zarelcom)
[ "$("$work/version")" = "$version $version" ] || fail "the header's version macros say '$("$work/version")', pkg-config says $version"
[ "$(basename "$library")" = "libzarelcom.so.$version" ] || fail "the library $(basename "$library") is not version $version"

# Through find_package(Zarelcom).
cmake -S "$examples" -B "$work/example" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_BUILD_RPATH="$libdir" >"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "find_package(Zarelcom) failed"; }
cmake --build "$work/example" >>"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "the example does not build through find_package"; }

# Both run against the installed simulator, as COM7 of a private port directory.
ZARELCOM_PORT_DIR=$work/ports
export ZARELCOM_PORT_DIR
mkdir -p "$ZARELCOM_PORT_DIR"
"$prefix/bin/zarel-sim" --com 7 >"$work/sim.log" 2>&1 &
sim=$!
tries=0
until [ -e "$ZARELCOM_PORT_DIR/com7" ]; do
  tries=$((tries + 1))
  [ $tries -le 100 ] || { cat "$work/sim.log"; fail "the simulator did not register COM7"; }
  sleep 0.1
done
QT_QPA_PLATFORM=offscreen "$prefix/bin/zarelctl" make-logo --text "This is Test." -o "$work/logo.bmp" >/dev/null \
  || fail "the installed zarelctl could not make a logo"
for example in "$work/send_logo_pkgconfig" "$work/example/send_logo"; do
  "$example" 7 "$work/logo.bmp" >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "$example failed"; }
  grep -q '^ZAREL HP MODEL ' "$work/run.log" || { cat "$work/run.log"; fail "$example showed no system information"; }
  grep -q '^logo stored in slot [0-9]' "$work/run.log" || { cat "$work/run.log"; fail "$example stored no logo"; }
done
echo "install test: installed into a prefix, built the example both ways and sent a logo with each"
