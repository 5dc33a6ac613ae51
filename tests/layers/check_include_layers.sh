#!/bin/bash
# The layers of the library, bottom up: dsp, model, then api and the plugins
# beside it, then the window side (window, controls, framework, resources).
# A file may include project headers of its own layer and of the layers
# below, never of one above.
# Usage: check_include_layers.sh SOURCE_ROOT
set -euo pipefail
root=$1
rank() {
    case $1 in
        dsp) echo 0 ;;
        model) echo 1 ;;
        api | plugins) echo 2 ;;
        window | controls | framework | resources) echo 3 ;;
        *) echo -1 ;;
    esac
}
status=0
checked=0
for folder in dsp model api plugins window controls framework; do
    mine=$(rank "$folder")
    while IFS= read -r file; do
        checked=$((checked + 1))
        while IFS= read -r included; do
            theirs=$(rank "${included%%/*}")
            if [ "$theirs" -gt "$mine" ]; then
                echo "${file#"$root"/} includes $included, a layer above $folder"
                status=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    done < <(find "$root/$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.inc' \))
done
[ "$checked" -gt 0 ] || { echo "no sources found under $root"; exit 1; }
[ "$status" = 0 ] && echo "$checked files include only their own layer and those below"
exit $status
