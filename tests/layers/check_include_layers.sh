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
includes=0
for folder in dsp model api plugins window controls framework; do
    # "file:folder" for each #include "folder/..." of the folder's sources.
    while IFS=: read -r file included; do
        includes=$((includes + 1))
        if [ "$(rank "$included")" -gt "$(rank "$folder")" ]; then
            echo "${file#"$root"/} includes $included/, a layer above $folder"
            status=1
        fi
    done < <(grep -rHoE --include='*.h' --include='*.cpp' --include='*.inc' \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$root/$folder" | sed -E 's/:.*"([^"/]+)\/$/:\1/')
done
[ "$includes" -gt 0 ] || { echo "no project includes found under $root"; exit 1; }
[ "$status" = 0 ] && echo "$includes project includes, each of its own layer or one below"
exit $status
