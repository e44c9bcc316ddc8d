#!/bin/sh
# Installs the build tree into a temporary prefix and checks what lands where:
# the program, its demo maps in share/mapwright/ (found from the installed
# program), the desktop entry and icons, the manual pages, the copyright and
# changelog, the library's public headers (not the internal ones) and its
# CMake package. The installed program must
# report the project's version and show the demo.
set -eu
build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
expect() {
    [ -e "$prefix/$1" ] || { echo "missing: $1"; fail=1; }
}
expect_not() {
    [ ! -e "$prefix/$1" ] || { echo "should not be installed: $1"; fail=1; }
}
expect bin/mapwright
expect bin/vyn-gallery
expect libexec/mapwright/mapwright-window.so
expect share/doc/vyn/html/index.html

for f in DemoRailPressure.txt DemoDuration.txt DemoSOI.txt; do
    expect share/mapwright/$f
    expect_not bin/$f
done
expect share/applications/mapwright.desktop
expect share/man/man1/mapwright.1.gz
expect share/man/man1/vyn-gallery.1.gz
expect share/doc/mapwright/copyright
expect share/doc/mapwright/changelog.gz
# The Qt Designer plugin, in Qt's plugin folder under the prefix.
find "$prefix" -path "*/qt6/plugins/designer/libvyn_designer.so" | grep -q . ||
    { echo "missing: the Designer plugin under qt6/plugins/designer/"; fail=1; }
for size in 48 64 128 256; do
    expect share/icons/hicolor/${size}x${size}/apps/mapwright.png
done
for h in VynRichEdit.h VynSerialPort.h VynLogFile.h Palette.h Color.h SerialDevice.h Paths.h \
    StatusLed.h RxTxPanel.h SerialSetupDlg.h SerialSetupForm.h ui_FormSerialSetup.h; do
    expect include/vyn/$h
done
expect_not include/vyn/internal
expect_not include/vyn/SerialTermios.h
expect lib/cmake/Vyn/VynConfig.cmake
expect lib/cmake/Vyn/VynConfigVersion.cmake
expect lib/cmake/Vyn/VynTargets.cmake
grep -q '^Exec=mapwright$' "$prefix/share/applications/mapwright.desktop" ||
    { echo "the desktop entry does not start mapwright"; fail=1; }

out=$("$prefix/bin/mapwright" --version)
[ "$out" = "Mapwright $version" ] || { echo "--version said '$out', not 'Mapwright $version'"; fail=1; }

# The installed program finds its demo maps in share/mapwright/: its window
# with the demo loaded holds far more than one whose demo files are gone.
QT_QPA_PLATFORM=offscreen "$prefix/bin/mapwright" --demo --screenshot "$prefix/demo.png" ||
    { echo "the installed program did not run"; fail=1; }
mv "$prefix/share/mapwright" "$prefix/share/elsewhere"
QT_QPA_PLATFORM=offscreen "$prefix/bin/mapwright" --demo --screenshot "$prefix/empty.png" ||
    { echo "the installed program did not run"; fail=1; }
with=$(wc -c < "$prefix/demo.png")
without=$(wc -c < "$prefix/empty.png")
[ "$with" -gt $((without + 20000)) ] ||
    { echo "the demo did not load: $with bytes of window against $without without demo files"; fail=1; }
exit $fail
