#!/bin/sh
# The built ferrovane-host as a user runs it: --version and --help on standard output with status
# 0, wrong arguments answered with the usage on standard error and status 2, and every command
# without PLUGIN taking the plugin of its own build tree, else the one in ~/.lxvst, else failing
# with status 1 and saying where it looked.
# usage: program_test.sh PROGRAM PLUGIN VERSION ARCH DEMO.mid [EMULATOR...]
set -eu
program=$1
plugin=$2
version=$3
arch=$4
demo=$5
shift 5
. "$(dirname "$0")/../support/scratch.sh"

# run NAME PROGRAM ARGS...: the status in $status, the streams in $work/NAME.out and .err.
run() {
  name=$1
  shift
  status=0
  "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
}
# expect NAME STATUS: the status, else both streams shown.
expect() {
  [ "$status" = "$2" ] || { cat "$work/$1.out" "$work/$1.err"; fail "$1: status $status, not $2"; }
}

echo "== --version and --help"
run version "$@" "$program" --version
expect version 0
[ "$(cat "$work/version.out")" = "ferrovane-host $version ($arch)" ] ||
  fail "--version said: $(cat "$work/version.out")"
[ ! -s "$work/version.err" ] || fail "--version wrote to stderr"
run help "$@" "$program" --help
expect help 0
head -1 "$work/help.out" | grep -q '^usage: ferrovane-host info \[PLUGIN\]$' || fail "--help: no usage"
for command in route edit live; do
  grep -q "ferrovane-host $command \[PLUGIN\]" "$work/help.out" || fail "--help lacks $command"
done
[ ! -s "$work/help.err" ] || fail "--help wrote to stderr"

echo "== wrong arguments"
for args in "--bogus" "bogus" "" "info --bogus" "route in.mid" "live --program 0" "edit --seconds"; do
  # shellcheck disable=SC2086 # each case is its words
  run wrong "$@" "$program" $args
  expect wrong 2
  [ ! -s "$work/wrong.out" ] || fail "'$args' wrote to stdout"
  grep -q '^usage: ' "$work/wrong.err" || fail "'$args' showed no usage"
done

echo "== PLUGIN left out in the build tree"
run build "$@" "$program" info
expect build 0
grep -qx "ferrovane-host: plugin $plugin" "$work/build.err" || fail "took: $(cat "$work/build.err")"
grep -q '^effect name: Ferrovane$' "$work/build.out" || fail "info printed no effect name"
run route "$@" "$program" route "$demo" "$work/routed.mid" --quiet
expect route 0
grep -q "events routed into $work/routed.mid" "$work/route.out" || fail "route: $(cat "$work/route.out")"

echo "== PLUGIN left out, the program elsewhere"
if [ -e /usr/lib/lxvst/ferrovane.so ] || [ -e /usr/local/lib/lxvst/ferrovane.so ]; then
  echo "skipped: a plugin is installed in /usr or /usr/local, and would be found first"
else
  mkdir -p "$work/opt/bin" "$work/home"
  cp "$program" "$work/opt/bin/"
  moved=$work/opt/bin/$(basename "$program")
  run none env HOME="$work/home" "$@" "$moved" info
  expect none 1
  [ ! -s "$work/none.out" ] || fail "nothing found, but something was printed"
  grep -q "^ferrovane-host: no plugin found (looked for $work/opt/lib/lxvst/ferrovane.so, " \
    "$work/none.err" || fail "not found: $(cat "$work/none.err")"
  mkdir "$work/home/.lxvst"
  cp "$plugin" "$work/home/.lxvst/"
  run home env HOME="$work/home" "$@" "$moved" info
  expect home 0
  grep -qx "ferrovane-host: plugin $work/home/.lxvst/ferrovane.so" "$work/home.err" ||
    fail "took: $(cat "$work/home.err")"
fi
echo "all good"
