#!/bin/bash
# The 32-bit DLL must do its floating point in SSE2 like the 64-bit and
# native builds: x87 keeps 80-bit intermediates and rounds at other points.
# Checks that none of the i686 tree's objects holds x87 arithmetic (as one
# compiled without -msse2 -mfpmath=sse would). x87 loads and stores stay
# allowed: the 32-bit ABI returns float and double in st(0), and 64-bit
# integer conversions go through fild/fistp; neither rounds differently.
#
#   check_i686_sse.sh OBJDUMP BUILD_DIR
set -euo pipefail
objdump=$1 dir=$2
status=0
x87='f(add|addp|iadd|sub|subp|subr|subrp|isub|isubr|mul|mulp|imul|div|divp|divr|divrp|idiv|idivr|sqrt|prem|prem1|scale|rndint|sin|cos|sincos|ptan|patan|2xm1|yl2x|yl2xp1|abs|chs|com|comp|compp|comi|comip|ucom|ucomp|ucompp|ucomi|ucomip|icom|icomp|tst|xam)'
objects=$(find "$dir" -path '*/CMakeFiles/*' -name '*.obj' -not -path '*/_deps/*' -not -path '*/CMakeTmp/*')
[ -n "$objects" ] || { echo "FAIL: no objects under $dir"; exit 1; }
for obj in $objects; do
    if "$objdump" -d -M intel --no-show-raw-insn "$obj" | grep -E -m 5 "^ *[0-9a-f]+:[[:space:]]+${x87}([[:space:]]|$)"; then
        echo "FAIL: x87 arithmetic (above) in ${obj#"$dir"/}"
        status=1
    fi
done
[ $status = 0 ] && echo "OK: no x87 arithmetic in $(wc -l <<<"$objects") objects"
exit $status
