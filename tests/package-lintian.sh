#!/bin/sh
# Builds the Debian package from the build tree and checks it with lintian:
# no errors and no warnings, and the manual pages, copyright and changelog
# are in it.
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
deb=$(ls "$out"/*.deb)
status=0
for f in usr/share/man/man1/mapwright.1.gz usr/share/man/man1/vyn-gallery.1.gz \
    usr/share/doc/mapwright/copyright usr/share/doc/mapwright/changelog.gz; do
    dpkg-deb -c "$deb" | grep -q " ./$f\$" || { echo "not in the package: $f"; status=1; }
done
# Run as root (as CI is), lintian says so; that line is no finding.
lintian --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1 || status=1
grep -v "running with root privileges" "$out/lintian.log"
exit $status
