#!/bin/sh
# The gallery stopped by SIGTERM or SIGINT removes its temporary folder, as at
# a normal end.
set -eu
exe=$1
for signal in TERM INT; do
    tmp=$(mktemp -d)
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    TMPDIR=$tmp XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen "$exe" &
    pid=$!
    # Up once its folder (with the demo database) is there.
    for _ in $(seq 100); do
        [ -n "$(ls -A "$tmp")" ] && break
        sleep 0.1
    done
    [ -n "$(ls -A "$tmp")" ] || { echo "the gallery made no temporary folder"; kill -9 $pid; exit 1; }
    sleep 0.5
    kill -s $signal $pid
    status=0
    wait $pid || status=$?
    left=$(ls -A "$tmp")
    rm -rf "$tmp" "$runtime"
    [ -z "$left" ] || { echo "SIG$signal left $left behind"; exit 1; }
    [ $status -eq 0 ] || { echo "SIG$signal: exit status $status"; exit 1; }
    echo "SIG$signal: ended cleanly, nothing left"
done
