#!/bin/bash
# Runs the host session natively and under wine and compares the recordings
# byte for byte.
#
#   compare_sessions.sh NATIVE_EXE WINDOWS_EXE WINE_RUN WORK_DIR
set -euo pipefail
native=$(realpath "$1") windows=$(realpath "$2") wine_run=$(realpath "$3")
mkdir -p "$4"
cd "$4"
rm -f native.bin wine.bin
"$native" native.bin || { echo "FAIL: native session exited with $?"; exit 1; }
# A relative output path: the Windows program sees the directory as Z:\...
sh "$wine_run" "$windows" wine.bin || { echo "FAIL: session under wine exited with $?"; exit 1; }
# cmp names the first differing byte.
cmp native.bin wine.bin || exit 1
echo "OK: native and wine sessions identical ($(stat -c %s native.bin) bytes)"
