#!/bin/bash
# The 32-bit DLL must do its floating point in SSE2 like the 64-bit and
# native builds: x87 keeps 80-bit intermediates and rounds at other points.
# Checks (1) that every C++ file compiled in the i686 tree got -msse2 and
# -mfpmath=sse (compile_commands.json, CMAKE_EXPORT_COMPILE_COMMANDS=ON), and
# (2) that our objects contain no x87 arithmetic. x87 loads and stores stay
# allowed: the 32-bit ABI returns float and double in st(0), and 64-bit
# integer conversions go through fild/fistp; neither rounds differently.
#
#   check_i686_sse.sh --objdump OBJDUMP --build-dir DIR
set -euo pipefail

objdump='' dir=''
while [ $# -gt 0 ]; do
    case "$1" in
        --objdump) objdump=$2; shift 2 ;;
        --build-dir) dir=$2; shift 2 ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
db=$dir/compile_commands.json
[ -f "$db" ] || { echo "FAIL: $db missing (configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)"; exit 1; }

status=0
# "command" precedes "file" in each entry; only C and C++ sources count.
checked=$(awk '/"command":/ { cmd = $0 } /"file":/ && /\.(c|cc|cpp|cxx)",?$/ { print cmd }' "$db")
commands=$(printf '%s' "$checked" | grep -c . || true)
missing=$(printf '%s\n' "$checked" | awk 'NF && (!/-msse2/ || !/-mfpmath=sse/)' || true)
if [ "$commands" = 0 ]; then
    echo "FAIL: no compile commands in $db"
    status=1
elif [ -n "$missing" ]; then
    echo "FAIL: compiled without -msse2 -mfpmath=sse:"
    echo "$missing" | head -5
    status=1
fi

# x87 arithmetic, comparison and transcendental mnemonics.
x87='f(add|addp|iadd|sub|subp|subr|subrp|isub|isubr|mul|mulp|imul|div|divp|divr|divrp|idiv|idivr|sqrt|prem|prem1|scale|rndint|sin|cos|sincos|ptan|patan|2xm1|yl2x|yl2xp1|abs|chs|com|comp|compp|comi|comip|ucom|ucomp|ucompp|ucomi|ucomip|icom|icomp|tst|xam)'
objects=$(find "$dir" -path '*/CMakeFiles/*' -name '*.obj' -not -path '*/_deps/*' -not -path '*/CMakeTmp/*' | sort)
if [ -z "$objects" ]; then
    echo "FAIL: no objects under $dir"
    exit 1
fi
for obj in $objects; do
    hits=$("$objdump" -d -M intel --no-show-raw-insn "$obj" | grep -E "^[[:space:]]*[0-9a-f]+:[[:space:]]+${x87}([[:space:]]|$)" || true)
    if [ -n "$hits" ]; then
        echo "FAIL: x87 arithmetic in ${obj#"$dir"/}:"
        echo "$hits" | head -5
        status=1
    fi
done
if [ $status = 0 ]; then
    echo "OK: $commands compile commands with -msse2 -mfpmath=sse; no x87 arithmetic in $(echo "$objects" | wc -l) objects"
fi
exit $status
