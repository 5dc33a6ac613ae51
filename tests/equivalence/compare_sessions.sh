#!/bin/bash
# Runs the scripted host session natively and under wine and compares the
# two recordings byte for byte; on a difference reports the first differing
# offset and the step of the script it belongs to.
#
#   compare_sessions.sh --native EXE --wine-run cmake/wine-run.sh
#                       --windows host_session.exe --work-dir DIR
set -euo pipefail

native='' wine_run='' windows='' work=''
while [ $# -gt 0 ]; do
    case "$1" in
        --native) native=$2; shift 2 ;;
        --wine-run) wine_run=$2; shift 2 ;;
        --windows) windows=$2; shift 2 ;;
        --work-dir) work=$2; shift 2 ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -x "$native" ] || { echo "FAIL: $native not found (build the native tree first)"; exit 1; }
[ -f "$windows" ] || { echo "FAIL: $windows not found (build its tree first)"; exit 1; }
abs() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
native=$(abs "$native") wine_run=$(abs "$wine_run") windows=$(abs "$windows")
mkdir -p "$work"
cd "$work"
rm -f native.bin native.bin.steps wine.bin wine.bin.steps

"$native" native.bin || { echo "FAIL: native session exited with $?"; exit 1; }
# Relative output path: the Windows program sees the same directory as Z:\...
sh "$wine_run" "$windows" wine.bin || { echo "FAIL: session under wine exited with $?"; exit 1; }

size=$(stat -c %s native.bin)
if cmp -s native.bin wine.bin; then
    echo "OK: native and wine sessions identical ($size bytes, $(wc -l <native.bin.steps) steps)"
    exit 0
fi

# The step a byte offset falls in: the last step starting at or before it.
step_of() {
    awk -v at="$1" '$1 <= at { line = $0 } END { sub(/^[0-9]+ /, "", line); print line }' "$2"
}

wine_size=$(stat -c %s wine.bin)
first=$(cmp native.bin wine.bin 2>/dev/null | awk '/differ/ { sub(/,/, "", $5); print $5 - 1 }' || true)
if [ -z "$first" ]; then
    # One is a prefix of the other.
    first=$(( size < wine_size ? size : wine_size ))
fi
echo "FAIL: recordings differ; first differing byte at offset $first (native $size bytes, wine $wine_size bytes)"
echo "  native step: $(step_of "$first" native.bin.steps)"
echo "  wine step:   $(step_of "$first" wine.bin.steps)"
start=$(( first >= 16 ? first - 16 : 0 ))
echo "  native bytes from $start:"; od -A d -t x1 -j "$start" -N 48 native.bin | sed 's/^/    /'
echo "  wine bytes from $start:";   od -A d -t x1 -j "$start" -N 48 wine.bin | sed 's/^/    /'
exit 1
