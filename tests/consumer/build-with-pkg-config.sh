#!/bin/sh
# Installs the library (static or shared) from the build tree into a temporary
# prefix and builds two programs of someone else's against it with pkg-config
# alone: core_main.cpp with vyn-core (no Qt), main.cpp and its Designer form
# with vyn-widgets; then runs both.
# Usage: build-with-pkg-config.sh BUILD_DIR SOURCE_DIR [CXX_FLAGS [LINKER_FLAGS]]
# (the flags the library was built with: a sanitizer's, for one)
set -eu
build=$1
source=$2
cxxflags=${3:-}
ldflags=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for component in libraries development; do
    cmake --install "$build" --prefix "$work/prefix" --component $component >/dev/null
done
pc_dir=$(dirname "$(find "$work/prefix" -name vyn-core.pc)")
export PKG_CONFIG_PATH="$pc_dir"
lib_dir=$(dirname "$pc_dir")
cxx=${CXX:-c++}
# shellcheck disable=SC2046
$cxx -std=c++20 $cxxflags $ldflags -o "$work/core_consumer" "$source/core_main.cpp" \
    $(pkg-config --cflags --libs vyn-core)
LD_LIBRARY_PATH="$lib_dir" "$work/core_consumer"
/usr/lib/qt6/libexec/uic "$source/VynForm.ui" -o "$work/ui_VynForm.h"
# shellcheck disable=SC2046
$cxx -std=c++20 -fPIC $cxxflags $ldflags -I"$work" -o "$work/widgets_consumer" "$source/main.cpp" \
    $(pkg-config --cflags --libs vyn-widgets)
LD_LIBRARY_PATH="$lib_dir" QT_QPA_PLATFORM=offscreen "$work/widgets_consumer"
