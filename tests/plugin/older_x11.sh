#!/bin/sh
# The built plugin in a process that looks like one with libX11 1.6 (a preloaded module hides
# libX11 1.7's XSetIOErrorExitHandler): the stand-in host shows its editor and routes through
# it. Arguments: the module, the host, the plugin, the demo MIDI file, then the emulator, if any.
module=$1 host=$2 plugin=$3 demo=$4 emulator=$5
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
run() {
  if [ -n "$emulator" ]; then
    QEMU_SET_ENV=LD_PRELOAD=$module "$emulator" "$host" "$@"
  else
    LD_PRELOAD=$module "$host" "$@"
  fi
}
run edit "$plugin" --seconds 1 2>"$out/edit" || { cat "$out/edit"; echo "edit failed"; exit 1; }
cat "$out/edit"
grep -q "XSetIOErrorExitHandler is missing" "$out/edit" || { echo "the entry was not looked up"; exit 1; }
run route "$plugin" "$demo" "$out/routed.mid" --connect 1:2 --quiet || { echo "route failed"; exit 1; }
[ -s "$out/routed.mid" ] || { echo "nothing routed"; exit 1; }
