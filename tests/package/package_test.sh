#!/bin/sh
# The packages a user installs, built with CPack from this build tree: the Debian package's
# control fields and files, its installation with dpkg into a scratch root (its dependencies
# checked against this machine's packages), the installed plugin loaded by the installed
# ferrovane-host, and the tarball's tree. The developers' install must still copy the plugin
# alone into its folder.
# usage: package_test.sh BUILD_DIR DEB_ARCH VERSION DEVELOPER_DIR [EMULATOR...]
set -eu
build=$1
arch=$2
version=$3
developerDir=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
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

echo "== dpkg-deb -c"
dpkg-deb -c "$deb"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "./usr/bin/ferrovane-host ./usr/lib/lxvst/ferrovane.so \
./usr/share/doc/ferrovane/README.md ./usr/share/doc/ferrovane/demo.mid " ] || fail "files: $files"

echo "== dpkg -i into a scratch root"
# A scratch database that holds only the packages the Depends name, copied from this machine's.
admin=$work/admin
root=$work/root
mkdir -p "$admin/info" "$admin/updates" "$root" "$work/bin"
touch "$admin/available"
[ "$arch" = "$(dpkg --print-architecture)" ] || dpkg --admindir="$admin" --add-architecture "$arch"
for name in $(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g'); do
  dpkg-query -s "$name:$arch" >>"$admin/status" || fail "$name:$arch is not installed here"
  echo >>"$admin/status"
  touch "$admin/info/$name:$arch.list"
done
# The package's scripts run ldconfig; the scratch root is none of the loader's paths.
printf '#!/bin/sh\nexit 0\n' >"$work/bin/ldconfig"
chmod +x "$work/bin/ldconfig"
PATH=$work/bin:$PATH dpkg --force-not-root --force-script-chrootless --instdir="$root" \
  --admindir="$admin" --log=/dev/null -i "$deb" || fail "dpkg -i"
dpkg-query --admindir="$admin" -W -f='${Status}\n' "ferrovane:$arch" |
  grep -q 'install ok installed' || fail "ferrovane is not installed"

echo "== the installed ferrovane-host info"
"$@" "$root/usr/bin/ferrovane-host" info "$root/usr/lib/lxvst/ferrovane.so" >"$work/info" ||
  { cat "$work/info"; fail "ferrovane-host info"; }
cat "$work/info"
grep -q '^effect name: Ferrovane$' "$work/info" || fail "the installed plugin did not load"

echo "== the tarball"
tarball=$(ls "$work/out"/ferrovane-"$version"-linux-*.tar.gz)
tree=$(tar tzf "$tarball" | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')
top=$(basename "$tarball" .tar.gz)
[ "$tree" = "$top/bin/ferrovane-host $top/lib/lxvst/ferrovane.so \
$top/share/doc/ferrovane/README.md $top/share/doc/ferrovane/demo.mid " ] || fail "tarball: $tree"

echo "== the developers' install"
DESTDIR=$work/dev cmake --install "$build" >/dev/null
installed=$(cd "$work/dev" && find . -type f)
[ "$installed" = ".$developerDir/ferrovane.so" ] || fail "the developers' install: $installed"
echo "all good"
