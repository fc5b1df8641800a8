#!/bin/sh
# Scans the plugin with Ardour's VST scanner and checks what Ardour recorded about it.
# Exits 77 (skipped) when Ardour is not installed.
plugin=$1
scanner=$(ls /usr/lib/ardour*/ardour-vst-scanner 2>/dev/null | head -n 1)
[ -n "$scanner" ] || { echo "ardour-vst-scanner not installed: skipped"; exit 77; }
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
XDG_CACHE_HOME=$cache LD_LIBRARY_PATH=$(dirname "$scanner") "$scanner" -f "$plugin" || exit 1
info=$(find "$cache" -name '*.v2i' | head -n 1)
[ -n "$info" ] || { echo "the scanner recorded nothing"; exit 1; }
cat "$info"
for want in 'name="Ferrovane"' 'id="1179801185"' 'n_inputs="2"' 'n_outputs="2"' \
            'n_midi_inputs="1"' 'n_midi_outputs="1"'; do
  grep -q "$want" "$info" || { echo "missing $want"; exit 1; }
done
