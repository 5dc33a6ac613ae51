#!/bin/bash
# Checks an export table against the .def file, the one list of our exports:
# the DLL exports exactly its names at its ordinals under the module name
# audiomix.dll and imports nothing but the allowed DLLs; the shared object
# exports exactly its names and nothing else of ours (the C++
# runtime's public instantiations in std:: and __gnu_cxx:: and the linker's
# symbols are tolerated).
#
#   check_exports.sh dll OBJDUMP DEF DLL ALLOWED.dll...
#   check_exports.sh so NM DEF SO
set -euo pipefail
kind=$1 tool=$2 def=$3 file=$4
[ -f "$file" ] || { echo "FAIL: $file not found"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0

# "ordinal name" for each "name @ordinal" line of the .def file.
awk '$2 ~ /^@[0-9]+$/ { print substr($2, 2), $1 }' "$def" | sort >"$tmp/expected"
[ -s "$tmp/expected" ] || { echo "FAIL: no exports with ordinals in $def"; exit 1; }

# same EXPECTED FOUND WHAT: reports where the two sorted lists differ.
same() {
    if ! diff -u "$tmp/$1" "$tmp/$2" >"$tmp/diff"; then
        echo "FAIL: $3 of $file differ from $def (- expected, + found):"
        sed -n '3,$p' "$tmp/diff"
        status=1
    fi
}

if [ "$kind" = dll ]; then
    "$tool" -p "$file" >"$tmp/dump"
    # The name table lists "[ i] name" for ordinal i + base.
    awk '/^Ordinal Base/ { base = $3 }
         /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
         names && /^[[:space:]]*$/ { names = 0 }
         names { sub(/^[[:space:]]*\[[[:space:]]*/, ""); split($0, f, /\][[:space:]]*/); print f[1] + base, f[2] }
        ' "$tmp/dump" | sort >"$tmp/named"
    same expected named "named exports"
    # Every ordinal with an address, named or not.
    awk '/^Export Address Table -- Ordinal Base/ { eat = 1; next }
         eat && /^[[:space:]]*$/ { eat = 0 }
         eat && /\+base\[/ { sub(/.*\+base\[[[:space:]]*/, ""); sub(/\].*/, ""); print }
        ' "$tmp/dump" | sort >"$tmp/ordinals"
    cut -d' ' -f1 "$tmp/expected" | sort >"$tmp/expected_ordinals"
    same expected_ordinals ordinals "ordinals with an address"
    module=$(awk '/^Name[[:space:]]/ { print $3; exit }' "$tmp/dump")
    [ "$module" = audiomix.dll ] || { echo "FAIL: export module name is '$module'"; status=1; }
    allowed=";$(IFS=';' && tr '[:upper:]' '[:lower:]' <<<"${*:5}");"
    for imported in $(awk '/DLL Name:/ { print $3 }' "$tmp/dump"); do
        case "$allowed" in
            *";$(tr '[:upper:]' '[:lower:]' <<<"$imported");"*) ;;
            *) echo "FAIL: $file imports $imported (allowed: ${*:5})"; status=1 ;;
        esac
    done
else
    cut -d' ' -f2 "$tmp/expected" | sort >"$tmp/expected_names"
    "$tool" -D --defined-only --format=posix "$file" | awk '{ sub(/@.*/, "", $1); print $1 }' |
        grep -vE '^(_init|_fini|_edata|_end|__bss_start)$|^_Z(N|NK|T[ISVT]N?|GVZ?N?)?(St|9__gnu_cxx)' | sort -u >"$tmp/names"
    same expected_names names "exports"
fi
[ $status = 0 ] && echo "OK: $file exports the $(wc -l <"$tmp/expected") functions of $def, nothing else of ours"
exit $status
