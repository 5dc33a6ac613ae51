#!/bin/sh
# Runs a Windows program under wine64: CTest's CMAKE_CROSSCOMPILING_EMULATOR,
# and by hand:  cmake/wine-run.sh build/win64/tests/foo.exe [args...]
#
# Prefix: $AUDIOMIX_WINEPREFIX, else build/wineprefix in the repository,
# prepared on first use (scripts/wine-env prepare). Display: $AUDIOMIX_DISPLAY,
# else the Xvfb that `scripts/wine-env start` runs for this prefix, else
# $DISPLAY. The program's exit code is passed through unchanged.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

if [ $# -lt 1 ]; then
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

WINEPREFIX=${AUDIOMIX_WINEPREFIX:-$root/build/wineprefix}
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

exec /usr/lib/wine/wine64 "$@"
