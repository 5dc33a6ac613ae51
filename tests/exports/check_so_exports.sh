#!/bin/bash
# Checks that libaudiomix.so exports exactly the functions of
# resources/audiomix.def and nothing else of ours. Symbols the C++ runtime
# makes public by itself (instantiations in std::, __gnu_cxx::) and the
# linker's own are tolerated and listed.
#
#   check_so_exports.sh --nm NM --def FILE.def --so FILE.so
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=def_exports.sh
. "$here/def_exports.sh"

nm=nm def='' so=''
while [ $# -gt 0 ]; do
    case "$1" in
        --nm) nm=$2; shift 2 ;;
        --def) def=$2; shift 2 ;;
        --so) so=$2; shift 2 ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -f "$so" ] || { echo "FAIL: $so not found"; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
def_exports "$def" | cut -d' ' -f2 | sort >"$tmp/expected"
# "name type" of every defined dynamic symbol, version suffixes dropped.
"$nm" -D --defined-only --format=posix "$so" | awk '{ sub(/@.*/, "", $1); print $1, $2 }' | sort -u >"$tmp/all"

status=0
: >"$tmp/ours"
: >"$tmp/runtime"
while read -r name type; do
    case "$name" in
        _init|_fini|_edata|_end|__bss_start) continue ;;
    esac
    demangled=$(echo "$name" | c++filt)
    # A member template's demangled name starts with its return type
    # ("void std::vector<...>::_M_realloc_insert<...>"); its mangled name
    # still starts in std:: or __gnu_cxx::.
    case "$name" in
        _ZNSt*|_ZNKSt*|_ZSt*|_ZN9__gnu_cxx*|_ZNK9__gnu_cxx*)
            echo "$demangled" >>"$tmp/runtime"
            continue ;;
    esac
    case "$demangled" in
        std::*|__gnu_cxx::*|"typeinfo for std::"*|"typeinfo name for std::"*|"vtable for std::"*|"VTT for std::"*|"guard variable for std::"*)
            echo "$demangled" >>"$tmp/runtime" ;;
        *)
            echo "$name" >>"$tmp/ours"
            if grep -qx "$name" "$tmp/expected" && [ "$type" != T ]; then
                echo "FAIL: $name is exported as '$type', not as a function (T)"
                status=1
            fi ;;
    esac
done <"$tmp/all"

sort -o "$tmp/ours" "$tmp/ours"
if ! diff -u "$tmp/expected" "$tmp/ours" >"$tmp/diff"; then
    echo "FAIL: exports of $so differ from $def (- missing, + unexpected):"
    sed -n '3,$p' "$tmp/diff" | grep '^[-+]' | sed 's/^+/+ /; s/^-/- /' | c++filt
    status=1
fi
if [ -s "$tmp/runtime" ]; then
    echo "note: $(wc -l <"$tmp/runtime") C++ runtime symbols are public too, e.g. $(head -1 "$tmp/runtime")"
fi
if [ $status = 0 ]; then
    echo "OK: $so exports the $(wc -l <"$tmp/expected") functions of $(basename "$def") and nothing else of ours"
fi
exit $status
