#!/bin/sh
# Makes the Debian packages with cpack and checks what each holds, what it depends on (worked out
# from its programs), and that lintian finds no error in any.
#     make_debian_package.sh BUILD_DIR VERSION
set -eu
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }

# Each package: the files it must hold, the dependencies it must have and must not have.
multiarch=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
while IFS='|' read -r package files depends forbidden; do
  deb=$(find "$work" -maxdepth 1 -name "${package}_${version}_*.deb")
  [ -f "$deb" ] || { ls "$work"; fail "no ${package}_$version .deb was made"; }
  dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's/^\.//' >"$work/contents"
  for file in $files /usr/share/doc/$package/copyright /usr/share/doc/$package/changelog.gz \
              /usr/share/doc/$package/README.md.gz /usr/share/doc/$package/CHANGELOG.md.gz; do
    file=$(echo "$file" | sed -e "s|@LIB@|$multiarch|" -e "s|@VERSION@|$version|")
    grep -qxF "$file" "$work/contents" || { cat "$work/contents"; fail "$package lacks $file"; }
  done
  field=$(dpkg-deb --field "$deb" Depends)
  for dependency in $depends; do
    echo "$field" | grep -q "\(^\|, \)$dependency\( \|,\|$\)" || fail "$package does not depend on $dependency: '$field'"
  done
  for dependency in $forbidden; do
    echo "$field" | grep -q "$dependency" && fail "$package must not depend on $dependency: '$field'"
  done
  echo "package test: ${package}_$version: Depends: $field"
done <<'PACKAGES'
libzarelcom1|@LIB@/libzarelcom.so.1 @LIB@/libzarelcom.so.@VERSION@|libc6 libstdc++6|qt
libzarelcom-dev|@LIB@/libzarelcom.so /usr/include/zarelcom/zarelcom.h /usr/include/zarelcom/zarelcom.hpp /usr/include/zarelcom/version.h @LIB@/pkgconfig/zarelcom.pc @LIB@/cmake/Zarelcom/ZarelcomConfig.cmake|libzarelcom1|qt
zarelcom-tools|/usr/bin/zarelctl /usr/bin/zarel-sim /usr/share/man/man1/zarelctl.1.gz /usr/share/man/man1/zarel-sim.1.gz /usr/share/bash-completion/completions/zarelctl|libzarelcom1 libc6|qt
python3-zarelcom|/usr/lib/python3/dist-packages/zarelcom/__init__.py /usr/lib/python3/dist-packages/zarelcom/py.typed|python3 libzarelcom1|qt
tegrola|/usr/bin/tegrola /usr/bin/zarelctl-logo /usr/share/man/man1/tegrola.1.gz /usr/share/applications/tegrola.desktop|libzarelcom1 libqt6widgets6 fonts-dejavu-core fonts-wqy-microhei|
PACKAGES

# The desktop's menu takes the logo tool's entry as it is.
deb=$(find "$work" -maxdepth 1 -name "tegrola_${version}_*.deb")
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/tegrola.desktop >"$work/tegrola.desktop"
desktop-file-validate "$work/tegrola.desktop" || fail "the desktop entry of tegrola is not valid"

# lintian fails on an error; its warnings are shown.
if ! lintian --fail-on error "$work"/*.deb >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log"
  fail "lintian reports errors"
fi
grep -v 'running with root privileges' "$work/lintian.log" || true
echo "package test: the packages hold their files, depend on what their programs link, and lintian finds no error"
