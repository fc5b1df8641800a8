#!/bin/sh
# What a system must provide to load the shared object: only the C library's own libraries and
# the X libraries (none at all with "no-x" as the fifth argument), no symbol version newer than
# the given glibc release, and no symbol of libX11 that libX11 1.6 lacked. Prints them, and the
# symbols that need the newest glibc version.
# Arguments: the shared object, the glibc floor, the list of libX11 1.6's symbols, the libX11 of
# the build (which tells the symbols the object takes from libX11), and "no-x" or nothing.
so=$1
floor=$2
x11_floor=$3
x11=$4
x=${5:-x}
status=0

needed=$(readelf -d "$so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
echo "NEEDED:" $needed
for lib in $needed; do
  case $lib in
    libc.so.6 | libm.so.6 | libpthread.so.0 | libdl.so.2 | ld-linux.so.2 | ld-linux-x86-64.so.2) ;;
    libX11.so.6 | libXpm.so.4 | libXmu.so.6)
      [ "$x" = no-x ] && { echo "an X library for an object that draws nothing: $lib"; status=1; } ;;
    *) echo "unexpected dependency: $lib"; status=1 ;;
  esac
done

versions=$(readelf -V "$so" | sed -n 's/^ *0x[0-9a-f]*: *Name: \([^ ]*\) .*/\1/p' | sort -u -V)
echo "versions:" $versions
others=$(echo "$versions" | grep -v '^GLIBC_[0-9.]*$')
if [ -n "$others" ]; then
  echo "versions of another runtime (it must be linked in):" $others
  status=1
fi

newest=$(echo "$versions" | grep '^GLIBC_[0-9.]*$' | sed 's/^GLIBC_//' | sort -V | tail -n 1)
echo "newest glibc version: $newest, needed by:" \
  $(objdump -T "$so" | awk -v v="(GLIBC_$newest)" '$0 ~ /\*UND\*/ && index($0, v) { print $NF }')
if [ "$(printf '%s\n%s\n' "$newest" "$floor" | sort -V | tail -n 1)" != "$floor" ]; then
  echo "needs glibc $newest, newer than $floor"
  status=1
fi
# Symbols without a version are the X libraries'; those the build's libX11 defines must have
# been there in 1.6. The list's comment lines name no symbol.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
nm -D --undefined-only "$so" | awk '$2 !~ /@/ { print $2 }' | sort -u >"$work/imported"
nm -D --defined-only "$x11" | awk '{ sub(/@.*/, "", $3); print $3 }' | sort -u >"$work/x11"
comm -12 "$work/imported" "$work/x11" >"$work/taken"
echo "libX11 symbols used:" $(wc -l <"$work/taken")
newer=$(grep -vxF -f "$x11_floor" "$work/taken" || true)
if [ -n "$newer" ]; then
  echo "libX11 symbols newer than 1.6:" $newer
  status=1
fi
exit $status
