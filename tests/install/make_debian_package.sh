#!/bin/sh
# Makes the Debian package with cpack and checks what it holds and what it depends on.
#     make_debian_package.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
package=$(find "$work" -maxdepth 1 -name 'zarelcom_*.deb')
[ -n "$package" ] || { cat "$work/cpack.log"; fail "no zarelcom_*.deb was made"; }
dpkg-deb --contents "$package" >"$work/contents"
for file in '/usr/bin/zarelctl' '/usr/bin/tegrola' '/usr/bin/zarel-sim' 'libzarelcom.so.1 ->' 'libzarelcom.so.1.1.0' \
            '/usr/include/zarelcom/zarelcom.h' 'pkgconfig/zarelcom.pc' 'cmake/Zarelcom/ZarelcomConfig.cmake'; do
  grep -q -- "$file" "$work/contents" || { cat "$work/contents"; fail "the package lacks $file"; }
done
depends=$(dpkg-deb --field "$package" Depends)
case $depends in
  *libc6*) ;;
  *) fail "the package's dependencies were not worked out: '$depends'" ;;
esac
echo "package test: $(basename "$package") holds the library, header, package files and programs; Depends: $depends"
