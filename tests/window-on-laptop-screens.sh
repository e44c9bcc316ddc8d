#!/bin/sh
# Runs the window test in a virtual X server with a window manager, once for
# each of the laptop screens it must fit, keeping a picture of each screen.
# Exit 77 (skipped) when Xvfb or the window manager is not installed.
set -eu
exe=$1
shots=$2
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run not installed: skipped"; exit 77; }
command -v openbox >/dev/null 2>&1 || { echo "openbox not installed: skipped"; exit 77; }
mkdir -p "$shots"
for size in 1366x768 1280x720; do
    echo "screen $size"
    # shellcheck disable=SC2016 # expanded by the inner shell
    env QT_QPA_PLATFORM=xcb MAPWRIGHT_SCREEN_SHOT="$shots/window-on-$size.png" \
        xvfb-run -a -s "-screen 0 ${size}x24" sh -c '
            openbox >/dev/null 2>&1 &
            wm=$!
            sleep 1
            status=0
            "$0" || status=$?
            kill $wm 2>/dev/null || true
            exit $status' "$exe"
done
