#!/bin/sh
# The packages a user installs, built with CPack from this build tree: the Debian package's
# control fields and files, lintian's verdict on it, its installation with dpkg into a scratch
# root (its dependencies checked against this machine's packages), the installed ferrovane-host
# finding and loading the installed plugin, its manual page, the installed LV2 bundle read by
# lilv's lv2info, and the tarball's tree, whose ferrovane-host finds the tarball's plugin. The
# developers' install must still copy only the plugin and the bundle into their folders.
# usage: package_test.sh BUILD_DIR DEB_ARCH VERSION DEVELOPER_DIR LV2_DEVELOPER_DIR [EMULATOR...]
set -eu
build=$1
arch=$2
version=$3
developerDir=$4
lv2DeveloperDir=$5
shift 5
. "$(dirname "$0")/../support/scratch.sh"

# The files of both packages, under /usr in the .deb and under the tarball's top folder.
packaged() {
  LC_ALL=C sort <<EOF
bin/ferrovane-host
lib/lv2/ferrovane.lv2/ferrovane.so
lib/lv2/ferrovane.lv2/ferrovane.ttl
lib/lv2/ferrovane.lv2/ferrovane_ui.so
lib/lv2/ferrovane.lv2/manifest.ttl
lib/lxvst/ferrovane.so
share/doc/ferrovane/README.md
share/doc/ferrovane/changelog.gz
share/doc/ferrovane/copyright
share/doc/ferrovane/demo.mid
share/man/man1/ferrovane-host.1.gz
EOF
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/ferrovane_${version}_$arch.deb
[ -f "$deb" ] || { ls "$work/out"; fail "no ferrovane_${version}_$arch.deb"; }

echo "== dpkg-deb -I"
dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ferrovane ] || fail "Package"
[ "$(field Version)" = "$version" ] || fail "Version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture"
depends=$(field Depends)
for name in libc6 libx11-6 libxpm4 libxmu6; do
  echo "$depends" | grep -Eq "(^|, )$name( |,|$)" || fail "Depends lacks $name"
done
# Nothing of libX11 newer than 1.6 is imported, so no newer libX11 is asked for.
echo "$depends" | grep -Eq "libx11-6 \(>= 2:1\.([7-9]|[1-9][0-9])" && fail "Depends asks for libX11 1.7 or later"

echo "== dpkg-deb -c"
dpkg-deb -c "$deb"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | LC_ALL=C sort >"$work/files"
packaged | diff - "$work/files" || fail "the package's files"
# The package only puts files in place: nothing runs when it is installed or removed.
dpkg-deb -e "$deb" "$work/control"
[ "$(ls "$work/control" | tr '\n' ' ')" = "control md5sums " ] ||
  fail "control files: $(ls "$work/control")"
changelog=$(dpkg-deb --fsys-tarfile "$deb" | tar xOf - ./usr/share/doc/ferrovane/changelog.gz |
  gzip -dc | dpkg-parsechangelog -l - -S Version)
[ "$changelog" = "$version" ] || fail "the changelog's last version is $changelog"

echo "== lintian"
lintian --fail-on error,warning "$deb" || fail "lintian"

echo "== dpkg -i into a scratch root"
# A scratch database that holds only the packages the Depends name, copied from this machine's.
admin=$work/admin
root=$work/root
mkdir -p "$admin/info" "$admin/updates" "$root"
touch "$admin/available"
[ "$arch" = "$(dpkg --print-architecture)" ] || dpkg --admindir="$admin" --add-architecture "$arch"
for name in $(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g'); do
  dpkg-query -s "$name:$arch" >>"$admin/status" || fail "$name:$arch is not installed here"
  echo >>"$admin/status"
  touch "$admin/info/$name:$arch.list"
done
dpkg --force-not-root --force-script-chrootless --instdir="$root" \
  --admindir="$admin" --log=/dev/null -i "$deb" || fail "dpkg -i"
dpkg-query --admindir="$admin" -W -f='${Status}\n' "ferrovane:$arch" |
  grep -q 'install ok installed' || fail "ferrovane is not installed"

# info PROGRAM PLUGIN [EMULATOR...]: the program, given no plugin, takes PLUGIN and loads it.
info() {
  program=$1
  expected=$2
  shift 2
  "$@" "$program" info >"$work/info" 2>"$work/took" ||
    { cat "$work/info" "$work/took"; fail "$program info"; }
  cat "$work/took"
  sed -n '1,16p' "$work/info"
  grep -qx "ferrovane-host: plugin $expected" "$work/took" || fail "$program did not take $expected"
  grep -q '^effect name: Ferrovane$' "$work/info" || fail "$expected did not load"
}

echo "== the installed ferrovane-host info"
info "$root/usr/bin/ferrovane-host" "$root/usr/lib/lxvst/ferrovane.so" "$@"

echo "== the installed LV2 bundle"
LV2_PATH="$root/usr/lib/lv2" lv2info https://www.ferrovane.org/lv2/ferrovane >"$work/lv2info" 2>&1 ||
  { cat "$work/lv2info"; fail "lv2info"; }
grep -q "Binary: *file://$root/usr/lib/lv2/ferrovane.lv2/ferrovane.so" "$work/lv2info" ||
  { cat "$work/lv2info"; fail "lv2info does not find the installed bundle"; }

echo "== man ferrovane-host"
MANWIDTH=80 man --warnings -M "$root/usr/share/man" ferrovane-host >"$work/man" 2>"$work/man.err" ||
  { cat "$work/man.err"; fail "man ferrovane-host"; }
[ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "the manual page has faults"; }
sed -n '1,8p' "$work/man"
grep -q "Ferrovane $version" "$work/man" || fail "the manual page names another version"

echo "== the tarball"
tarball=$(ls "$work/out"/ferrovane-"$version"-linux-*.tar.gz)
top=$(basename "$tarball" .tar.gz)
tar tzf "$tarball" | grep -v '/$' | LC_ALL=C sort >"$work/tree"
packaged | sed "s|^|$top/|" | diff - "$work/tree" || fail "the tarball's files"
tar xzf "$tarball" -C "$work"
info "$work/$top/bin/ferrovane-host" "$work/$top/lib/lxvst/ferrovane.so" "$@"

echo "== the developers' install"
DESTDIR=$work/dev cmake --install "$build" >/dev/null
installed=$(cd "$work/dev" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[ "$installed" = ".$lv2DeveloperDir/ferrovane.lv2/ferrovane.so \
.$lv2DeveloperDir/ferrovane.lv2/ferrovane.ttl .$lv2DeveloperDir/ferrovane.lv2/ferrovane_ui.so \
.$lv2DeveloperDir/ferrovane.lv2/manifest.ttl .$developerDir/ferrovane.so " ] ||
  fail "the developers' install: $installed"
echo "all good"
