#!/bin/sh
# Builds the Debian packages from a build tree (the dev build: mapwright
# alone; the release build: mapwright, libvyn0 and libvyn-dev) and checks
# them with lintian: no errors and no warnings. The manual pages, copyright
# and changelog must be in them, and with the shared libraries the three
# packages must depend on each other as installed.
# Usage: package-lintian.sh BUILD_DIR
set -u
build=$1
command -v lintian >/dev/null || {
    echo "lintian is not installed (tools/install-deps installs it)"
    exit 77
}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
status=0
for deb in "$out"/*.deb; do
    dpkg-deb -c "$deb"
done >"$out/contents.txt"
for f in usr/share/man/man1/mapwright.1.gz usr/share/man/man1/vyn-gallery.1.gz \
    usr/share/doc/mapwright/copyright usr/share/doc/mapwright/changelog.gz; do
    grep -q " ./$f\$" "$out/contents.txt" || { echo "not in the packages: $f"; status=1; }
done
if ls "$out"/libvyn0_*.deb >/dev/null 2>&1; then
    for package in mapwright libvyn-dev; do
        dpkg-deb -f "$out/${package}_"*.deb Depends | grep -q "libvyn0 (= " ||
            { echo "$package does not depend on libvyn0 of its version"; status=1; }
    done
    grep -q "/qt6/plugins/designer/libvyn_designer.so\$" "$out/contents.txt" ||
        { echo "not in the packages: the Designer plugin"; status=1; }
    grep -q " ./usr/share/doc/vyn/html/index.html\$" "$out/contents.txt" ||
        { echo "not in the packages: the API reference"; status=1; }

fi
# Run as root (as CI is), lintian says so; that line is no finding.
lintian --fail-on error,warning "$out"/*.deb >"$out/lintian.log" 2>&1 || status=1
grep -v "running with root privileges" "$out/lintian.log"
ls -l "$out"/*.deb | awk '{print "package: " $NF " " $5 " bytes"}'
exit $status
