# shellcheck shell=bash
# Sourced by the export checks: prints "ordinal name" for every entry of the
# EXPORTS section of a module-definition file, the one list of our exports.
def_exports() {
    awk '
        { sub(/;.*/, ""); sub(/\r$/, "") }
        /^[[:space:]]*EXPORTS([[:space:]]|$)/ { in_exports = 1; next }
        /^[[:space:]]*[A-Z]+([[:space:]]|$)/ && !/@/ { in_exports = 0 }
        in_exports && match($0, /^[[:space:]]*[A-Za-z_][A-Za-z0-9_]*[[:space:]]*@[[:space:]]*[0-9]+/) {
            line = substr($0, RSTART, RLENGTH)
            gsub(/[[:space:]@]+/, " ", line)
            sub(/^ /, "", line)
            split(line, f, " ")
            print f[2], f[1]
        }
    ' "$1"
    if ! grep -qE '@[[:space:]]*[0-9]' "$1"; then
        echo "no exports with ordinals in $1" >&2
        return 1
    fi
}
