#!/bin/bash
# Checks the export table of audiomix.dll against resources/audiomix.def:
# exactly the names and ordinals listed there, no nameless or extra entries,
# and the module name. With --allowed-imports, also that the DLL imports
# nothing but those DLLs.
#
#   check_dll_exports.sh --objdump OBJDUMP --def FILE.def --dll FILE.dll
#                        [--allowed-imports "A.dll;B.dll"]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=def_exports.sh
. "$here/def_exports.sh"

objdump='' def='' dll='' allowed=''
while [ $# -gt 0 ]; do
    case "$1" in
        --objdump) objdump=$2; shift 2 ;;
        --def) def=$2; shift 2 ;;
        --dll) dll=$2; shift 2 ;;
        --allowed-imports) allowed=$2; shift 2 ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -f "$dll" ] || { echo "FAIL: $dll not found"; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$objdump" -p "$dll" >"$tmp/dump"
def_exports "$def" | sort >"$tmp/expected"

# "ordinal name" from the name table: "[ i] name", ordinal = i + base.
awk '
    /^Ordinal Base/ { base = $3 }
    /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^[[:space:]]*$/ { names = 0 }
    names { sub(/^[[:space:]]*\[[[:space:]]*/, ""); split($0, f, /\][[:space:]]*/); print f[1] + base, f[2] }
' "$tmp/dump" | sort >"$tmp/named"

# Every ordinal with an address, named or not.
awk '
    /^Export Address Table -- Ordinal Base/ { eat = 1; next }
    eat && /^[[:space:]]*$/ { eat = 0 }
    eat && /\+base\[/ { s = $0; sub(/.*\+base\[[[:space:]]*/, "", s); sub(/\].*/, "", s); print s }
' "$tmp/dump" | sort -n >"$tmp/ordinals"

status=0
if ! diff -u "$tmp/expected" "$tmp/named" >"$tmp/diff"; then
    echo "FAIL: named exports of $dll differ from $def (- expected, + found):"
    sed -n '3,$p' "$tmp/diff"
    status=1
fi
cut -d' ' -f1 "$tmp/expected" | sort -n >"$tmp/expected_ordinals"
if ! diff -u "$tmp/expected_ordinals" "$tmp/ordinals" >"$tmp/diff"; then
    echo "FAIL: ordinals with an address differ from $def (- expected, + found):"
    sed -n '3,$p' "$tmp/diff"
    status=1
fi
module=$(awk '/^Name[[:space:]]/ { print $3; exit }' "$tmp/dump")
if [ "$module" != audiomix.dll ]; then
    echo "FAIL: export module name is '$module', expected audiomix.dll"
    status=1
fi

if [ -n "$allowed" ]; then
    imports=$(awk '/DLL Name:/ { print $3 }' "$tmp/dump")
    allowed_lc=";$(echo "$allowed" | tr '[:upper:]' '[:lower:]');"
    for imp in $imports; do
        lc=$(echo "$imp" | tr '[:upper:]' '[:lower:]')
        case "$allowed_lc" in
            *";$lc;"*) ;;
            *) echo "FAIL: $dll imports $imp (allowed: $allowed)"; status=1 ;;
        esac
    done
    echo "imports:" $imports
fi

if [ $status = 0 ]; then
    echo "OK: $dll exports $(wc -l <"$tmp/expected") functions by name and ordinal as in $(basename "$def")"
fi
exit $status
