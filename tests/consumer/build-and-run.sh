#!/bin/sh
# Installs the library (static or shared) from the build tree into a temporary
# prefix, builds tests/consumer against it with find_package(Vyn), and runs
# the program.
# Usage: build-and-run.sh BUILD_DIR SOURCE_DIR GENERATOR BUILD_TYPE CXX_FLAGS LINKER_FLAGS
set -eu
build=$1
source=$2
generator=$3
type=$4
cxxflags=$5
ldflags=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for component in libraries development; do
    cmake --install "$build" --prefix "$work/prefix" --component $component >/dev/null
done
cmake -S "$source" -B "$work/build" -G "$generator" -DCMAKE_BUILD_TYPE="$type" \
    -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$work/build"
# Shared libraries (VYN_SHARED) are found in the prefix's library folder
# (lib/ or a multiarch one), as in /usr/lib.
lib_dir=$(dirname "$(find "$work/prefix" -name 'libvyn_core.*' | head -n 1)")
LD_LIBRARY_PATH="$lib_dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" "$work/build/vyn_consumer"
