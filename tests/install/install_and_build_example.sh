#!/bin/sh
# Installs the build into a temporary prefix, builds the C example against the installed library
# through pkg-config and through find_package(Zarelcom), and runs both against the installed
# simulator: the road an integrator takes.
#     install_and_build_example.sh BUILD_DIR EXAMPLES_DIR C_COMPILER [C_FLAGS]
# C_FLAGS are the build's own (a sanitizer build's library needs its runtime in the example too).
set -eu
build=$1 examples=$2 cc=$3 cflags=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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
for file in share/man/man1/zarelctl.1.gz share/man/man1/zarel-sim.1.gz share/man/man1/tegrola.1.gz \
            share/bash-completion/completions/zarelctl; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ ! -e "$prefix/share/doc" ] || fail "the Debian packages' own files went into the prefix: $(ls "$prefix/share/doc")"

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
for program in zarelctl zarel-sim tegrola; do
  said=$("$prefix/bin/$program" --version | head -n 1)
  [ "$said" = "$program $version" ] || fail "$program --version says '$said', not '$program $version'"
done

# Through find_package(Zarelcom).
cmake -S "$examples" -B "$work/example" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_BUILD_RPATH="$libdir" >"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "find_package(Zarelcom) failed"; }
cmake --build "$work/example" >>"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "the example does not build through find_package"; }

# Both run against the installed simulator.
sh "$(dirname "$0")/run_examples.sh" "$prefix/bin" "$work/send_logo_pkgconfig" "$work/example/send_logo"
echo "install test: installed into a prefix, built the example both ways and sent a logo with each"
