#!/bin/sh
# Runs mapwright --demo in a virtual X server and keeps a screenshot of the
# window. Exit 77 (skipped) when Xvfb is not installed.
set -eu
exe=$1
shot=$2
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run not installed: skipped"; exit 77; }
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
# No platform override: the program must find the X server by itself.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$exe" --demo --screenshot "$shot"
[ -s "$shot" ] || { echo "no screenshot was written"; exit 1; }
size=$(wc -c < "$shot")
[ "$size" -gt 20000 ] || { echo "the screenshot is suspiciously small ($size bytes)"; exit 1; }
echo "screenshot: $shot ($size bytes)"
