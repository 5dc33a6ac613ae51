#!/bin/bash
# The bundle in hosts nobody here wrote: lv2ls and lv2info list both plugins
# and their ports, and lv2apply renders a file through each exactly as
# audiomix-render does with the same settings.
#
#   check_lv2_tools.sh LV2_DIR RENDER_TOOL SCRATCH_DIR
#
# lv2apply runs one frame per call. The compressor's detector serves both
# channels one after the other within a call, so stereo with the compressor
# on depends on the block size (as it does for audiomix_change): the stereo
# comparison leaves it off, the mono one has it on. Settings are given to the
# tool in the plugin's port order, the order the plugin applies them in, so
# that the random draws of taps and dither come in the same order.
set -euo pipefail
lv2_dir=$1 render=$2 scratch=$3
export LV2_PATH=$lv2_dir
rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch"
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(lv2ls | grep -c '^urn:audiomix:\(stereo\|mono\)$')" = 2 ] || fail "lv2ls does not list both plugins: $(lv2ls)"

info=$(lv2info urn:audiomix:stereo)
ports=$(grep -c '^	Port [0-9]*:' <<<"$info")
# The symbols: lv2apply below refuses any it does not know, jalv shows the audio ones.
[ "$ports" = 52 ] || fail "stereo plugin has $ports ports, expected 4 audio + 48 control"
grep -q 'lv2core#enumeration' <<<"$info" || fail "eq_bands is no enumeration"
grep -q 'Has latency: *no' <<<"$info" || fail "the plugin reports latency"
presets=$(grep -c '(10)$\|(15)$\|(25)$\|(31)$' <<<"$info")
[ "$presets" = 11 ] || fail "$presets presets listed, expected 11"

# Input: 16-bit samples; lv2apply gets them as float so that it writes float
# (its own float-to-16-bit conversion scales by 32767).
sox -D -n -r 44100 -c 2 -b 16 stereo.wav synth 2 pinknoise vol 0.4 sine 440 vol 0.2 2>/dev/null ||
    sox -D -n -r 44100 -c 2 -b 16 stereo.wav synth 2 pinknoise vol 0.4
sox -D stereo.wav mono.wav remix 1
for f in stereo mono; do sox -D "$f.wav" -e floating-point -b 32 "$f-float.wav"; done

# compare NAME PLUGIN INPUT "port value ..." "param=value ..."
compare() {
    local name=$1 uri=$2 input=$3 controls=$4 sets=$5 args=() setargs=()
    read -ra words <<<"$controls"
    for ((i = 0; i < ${#words[@]}; i += 2)); do args+=(-c "${words[i]}" "${words[i + 1]}"); done
    for s in $sets; do setargs+=(--set "$s"); done
    lv2apply -i "$input-float.wav" -o "$name-lv2.wav" "${args[@]}" "$uri" 2>/dev/null
    "$render" --quiet --flat "$input.wav" -o "$name-render.wav" "${setargs[@]}"
    sox -D "$name-lv2.wav" -b 16 -e signed-integer -t raw "$name-lv2.raw" 2>/dev/null
    for f in "$name-render" "$input"; do sox -D "$f.wav" -t raw "$f.raw"; done
    cmp -s "$input.raw" "$name-render.raw" && fail "$name: the setting left the audio unchanged"
    cmp "$name-lv2.raw" "$name-render.raw" || fail "$name: lv2apply and audiomix-render differ"
    echo "$name: lv2apply = audiomix-render ($(stat -c %s "$name-lv2.raw") bytes)"
}

compare stereo urn:audiomix:stereo stereo \
    "eq_on 1 reverb_on 1 reverb_taps 40 eq_bands 31 eq_pregain -3 eq_band_2 9 eq_band_20 -7" \
    "eq.on=1 reverb.on=1 reverb.taps=40 eq.bands=31 eq.pregain=-3 eq.band.2=9 eq.band.20=-7"
compare mono urn:audiomix:mono mono \
    "eq_on 1 reverb_on 1 comp_on 1 comp_threshold_db -40 reverb_wet_db -6 eq_second_pass 1 eq_band_0 12" \
    "eq.on=1 reverb.on=1 comp.on=1 comp.threshold_db=-40 reverb.wet_db=-6 eq.second_pass=1 eq.band.0=12"
echo "lv2 tools: both plugins listed, described and rendering as the tool does"
