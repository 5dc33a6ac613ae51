#!/bin/bash
# The stereo plugin in a real-time host: jalv on a JACK server with the dummy
# backend (no sound hardware), driven through jalv's console for a few
# seconds of 1024-frame blocks: it loads, shows its ports on the server and
# takes control changes. (Presets are checked through lilv's state functions
# in the test host; jalv's console leaves their values unprinted.)
#
#   check_jalv.sh LV2_DIR
set -uo pipefail
lv2_dir=$1
server="audiomix-test-$$"
client="audiomix_check"
export LV2_PATH=$lv2_dir JACK_DEFAULT_SERVER=$server JACK_NO_AUDIO_RESERVATION=1
log=$(mktemp)
jackd -r -n "$server" -d dummy -r 44100 -p 1024 >"$log.jackd" 2>&1 &
jackd_pid=$!
cleanup() { kill "$jackd_pid" 2>/dev/null; wait "$jackd_pid" 2>/dev/null; rm -f "$log" "$log.jackd"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$log" >&2; exit 1; }

timeout 10 jack_wait -w -t 5 >/dev/null 2>&1 || { cat "$log.jackd" >&2; fail "the JACK server did not start"; }

{
    printf 'set %s\n' "eq_on 1" "reverb_on 1" "eq_bands 31" "eq_band_27 -6"
    sleep 2
    echo "controls"
    sleep 1
} | timeout 15 jalv -x -n "$client" urn:audiomix:stereo >"$log" 2>&1 &
jalv_pid=$!
sleep 1.5
ports=$(jack_lsp 2>/dev/null | grep "^$client:" || true)
wait "$jalv_pid" || fail "jalv exited with $?"
grep -q "Block length: *1024 frames" "$log" || fail "jalv did not run the plugin"
for port in in_l in_r out_l out_r; do
    grep -qx "$client:$port" <<<"$ports" || fail "no JACK port $client:$port (ports: $ports)"
done
for setting in "eq_on = 1" "eq_band_27 = -6"; do
    grep -q "$setting\.0*$" "$log" || fail "$setting was not taken"
done
echo "jalv: ran on JACK's dummy backend with ports $(tr '\n' ' ' <<<"$ports")and took the control changes"
