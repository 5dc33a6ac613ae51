#!/bin/sh
# Runs a Windows program under wine: CTest's CMAKE_CROSSCOMPILING_EMULATOR,
# and by hand:  cmake/wine-run.sh build/win64/tests/foo.exe [args...]
#
# The program's PE header picks the loader and the prefix. x64 (and anything
# that is no 32-bit program): wine64 in $AUDIOMIX_WINEPREFIX, else
# build/wineprefix in the repository. 32-bit x86: wine's 32-bit loader in
# $AUDIOMIX_WINEPREFIX32, else build/wineprefix32; a prefix of its own, as one
# that wine64 made before 32-bit wine was installed cannot start 32-bit
# programs. A prefix is prepared on first use (scripts/wine-env prepare).
# Display: $AUDIOMIX_DISPLAY, else the Xvfb that `scripts/wine-env start` runs
# for this prefix, else $DISPLAY. The program's exit code is passed through
# unchanged.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

if [ $# -lt 1 ]; then
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

# The machine field of a PE file ("014c" for 32-bit x86), empty for anything else.
pe_machine() {
    [ -f "$1" ] && [ "$(head -c 2 "$1" 2>/dev/null)" = MZ ] || return 0
    offset=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' \n')
    [ -n "$offset" ] && od -An -tx2 -j "$((offset + 4))" -N 2 "$1" | tr -d ' \n'
}

if [ "$(pe_machine "$1")" = 014c ]; then
    loader=/usr/lib/wine/wine
    WINEPREFIX=${AUDIOMIX_WINEPREFIX32:-$root/build/wineprefix32}
    if [ ! -x "$loader" ]; then
        echo "wine-run: $loader missing: no 32-bit wine (scripts/setup installs wine32:i386)" >&2
        exit 1
    fi
else
    loader=/usr/lib/wine/wine64
    WINEPREFIX=${AUDIOMIX_WINEPREFIX:-$root/build/wineprefix}
fi
export WINEPREFIX
export WINEDEBUG="${AUDIOMIX_WINEDEBUG:--all}"
# The Chinese code page (936) as the ANSI code page, as on the systems the
# library is made for: host strings and preset names arrive in GBK.
# (scripts/setup generates the locale.)
export LC_ALL=zh_CN.UTF-8
# No Mono/Gecko install prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
state=$WINEPREFIX/audiomix-env
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

if [ -n "${AUDIOMIX_DISPLAY:-}" ]; then
    DISPLAY=$AUDIOMIX_DISPLAY
elif [ -f "$state/display" ] && [ -f "$state/xvfb.pid" ]; then
    # Only while that Xvfb still runs (a zombie does not count).
    pid=$(cat "$state/xvfb.pid")
    s=$(sed -n 's/^[0-9]* (.*) \([A-Z]\) .*/\1/p' "/proc/$pid/stat" 2>/dev/null || true)
    if [ -n "$s" ] && [ "$s" != Z ]; then
        DISPLAY=$(cat "$state/display")
    fi
fi
if [ -n "${DISPLAY:-}" ]; then
    export DISPLAY
fi

# Under the prefix lock: a prepared prefix and a persistent wineserver. When
# this call is the one that starts the server, wine's background processes
# are started here with stdio on /dev/null; started by the program instead,
# they would inherit CTest's output pipe and hold it open for seconds.
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock -w 300 9 || { echo "wine-run: timed out waiting for $WINEPREFIX.lock" >&2; exit 1; }
    if [ ! -f "$state/ready" ]; then
        bash "$root/scripts/wine-env" prepare --locked >&2 9>&-
    fi
    if "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&-; then
        /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$WINEPREFIX.lock"

if [ "$loader" = /usr/lib/wine/wine ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "wine-run: $WINEPREFIX has no 32-bit system (made before wine32 was installed?);" \
        "remove it and the next run makes it again" >&2
    exit 1
fi
exec "$loader" "$@"
