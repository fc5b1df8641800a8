#!/bin/sh
# The bundle's Turtle as LV2 tools read it: lv2info (lilv) lists the plugin with its class, its
# UI and every port, and sord_validate finds no error in it against the LV2 schemas (those of
# Debian's lv2-dev, which alone validate without error). Nothing is loaded.
bundle=$(realpath "$1")
status=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$bundle" "$scratch/ferrovane.lv2"

info=$(LV2_PATH="$scratch:/usr/lib/lv2" lv2info https://www.ferrovane.org/lv2/ferrovane 2>&1)
echo "$info"
for expected in "Class: *MIDI" "ui#X11UI" "state#interface" "urid#map" \
  "Symbol: *midi_in" "Symbol: *midi_out" "Symbol: *reset" "Symbol: *clear" \
  "Symbol: *preset_change" "Symbol: *grid" "Symbol: *highlight" "Symbol: *program" \
  "Symbol: *notify" "port-props#trigger"; do
  echo "$info" | grep -q "$expected" || { echo "lv2info does not show $expected"; status=1; }
done
ports=$(echo "$info" | grep -cE "^[[:space:]]+Port [0-9]+:")
[ "$ports" -eq 9 ] || { echo "lv2info shows $ports ports, not 9"; status=1; }

schemas=$(dpkg -L "lv2-dev:$(dpkg --print-architecture)" | grep '^/usr/lib/lv2/.*\.ttl$')
validation=$(sord_validate $schemas "$bundle"/*.ttl 2>&1)
echo "$validation" | tail -n 1
echo "$validation" | grep -q "^Found 0 errors" || { echo "$validation"; status=1; }
exit $status
