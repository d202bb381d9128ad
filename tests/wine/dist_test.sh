#!/bin/sh
# The release package of one architecture as an administrator downloads it (make dist):
#
#   dist_test.sh <dist-dir> <x86|x64>
#
# The zip, named with the project's version and the architecture, holds exactly marvane.exe,
# marvane-convert.exe, 使用说明.txt and SHA256SUMS, under names a Chinese Windows' zip folder and
# other unpackers read alike; the checksums fit; the guide is the repository's, UTF-8 with a
# byte-order mark and CR LF line ends. Each program is for the architecture (x86: PE32 for i386,
# large-address aware; x64: PE32+ for x86-64), marvane.exe a GUI program and marvane-convert.exe a
# console one, whose manifest names that architecture, with a version resource carrying the
# project's version and its own name, stripped, at most 600,000 bytes, pointing to its debug file
# beside the zip, and it imports only what tests/wine/allowed_imports.txt allows that
# architecture: functions Windows 7 SP1 has.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 <dist-dir> <x86|x64>" >&2
  exit 2
fi
dist=$(cd "$1" && pwd)
arch=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
# What the program's headers must say: the optional header's magic, the machine as objdump names
# it, and the architecture in the manifest's name of the program.
case $arch in
  x86) magic=010b machine=i386 manifest_arch=x86 triple=i686-w64-mingw32 ;;
  x64) magic=020b machine=i386:x86-64 manifest_arch=amd64 triple=x86_64-w64-mingw32 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
objdump=${OBJDUMP:-$triple-objdump}
guide=使用说明.txt
version=$(sed -n 's/^project(marvane VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
zip=$dist/marvane-$version-windows-$arch.zip
debug_dir=$dist/marvane-$version-windows-$arch-debug
# Unpacked apart, so that dist holds only what is shipped.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

[ -f "$zip" ] || { echo "FAIL: no $zip"; exit 1; }

# The names as Windows reads them without the UTF-8 flag (GBK on a Chinese system), and as the
# Unicode Path fields give them to other unpackers.
python3 - "$zip" >"$work/names.txt" <<'PY'
import struct, sys, zipfile
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    stored = info.filename.encode("utf-8" if info.flag_bits & 0x800 else "cp437")
    unicode_name = ""
    extra = info.extra
    while len(extra) >= 4:
        tag, size = struct.unpack("<HH", extra[:4])
        if tag == 0x7075:
            unicode_name = extra[9:4 + size].decode("utf-8")
        extra = extra[4 + size:]
    print(stored.decode("gbk"), unicode_name or stored.decode("gbk"), sep="\t")
PY
printf 'SHA256SUMS\tSHA256SUMS\nmarvane-convert.exe\tmarvane-convert.exe\nmarvane.exe\tmarvane.exe\n%s\t%s\n' \
  "$guide" "$guide" >"$work/want.txt"
sort "$work/names.txt" | cmp -s - "$work/want.txt" ||
  fail "zip entries: $(tr '\t\n' '| ' <"$work/names.txt")"

unzip -q "$zip" -d "$work/unpacked"
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not fit the programs"
[ "$(wc -l <"$work/unpacked/SHA256SUMS")" -eq 2 ] || fail "SHA256SUMS does not list both programs"

cmp -s "$work/unpacked/$guide" "$src/resources/$guide" || fail "$guide is not the repository's"
python3 - "$src/resources/$guide" <<'PY' || fail "$guide: not UTF-8 with a byte-order mark and CR LF"
import sys
data = open(sys.argv[1], "rb").read()
text = data[3:].decode("utf-8")
ok = data.startswith(b"\xef\xbb\xbf") and text.endswith("\r\n")
ok = ok and text.count("\n") == text.count("\r\n") == text.count("\r")
sys.exit(0 if ok else 1)
PY

# Checks one program of the zip: <name> <subsystem: 2 GUI, 3 console> <its name in its manifest>.
summary=""
check_program() {
  name=$1 subsystem=$2 identity=$3
  exe=$work/unpacked/$name
  [ -f "$exe" ] || { fail "no $name"; return; }
  size=$(stat -c %s "$exe")
  [ "$size" -le 600000 ] || fail "$name is $size bytes"

  "$objdump" -p "$exe" >"$work/headers.txt"
  grep -q "^Magic[[:space:]]*$magic" "$work/headers.txt" || fail "$name: magic is not $magic"
  "$objdump" -f "$exe" | grep -q "^architecture: $machine," || fail "$name is not for $machine"
  if [ "$arch" = x86 ]; then
    grep -q '^[[:space:]]*large address aware' "$work/headers.txt" ||
      fail "$name is not large-address aware"
  fi
  grep -q "^Subsystem[[:space:]]*0000000$subsystem" "$work/headers.txt" ||
    fail "$name is not of subsystem $subsystem"
  # Windows refuses to start a program whose manifest names another architecture
  # ("并行配置不正确").
  python3 - "$exe" "$identity" "$manifest_arch" <<'PY' || fail "$name: the manifest does not name $manifest_arch"
import re, sys
data, name, arch = open(sys.argv[1], "rb").read(), sys.argv[2].encode(), sys.argv[3].encode()
own = re.search(rb'<assemblyIdentity[^>]*name="' + re.escape(name) + rb'"[^>]*>', data)
sys.exit(0 if own and b'processorArchitecture="' + arch + b'"' in own.group(0) else 1)
PY
  # Resource types at the top of the resource tree: 16 the version, 24 the manifest.
  types=$(sed -n 's/^[0-9a-f]*   Entry: ID: 0x\([0-9a-f]*\),.*/\1/p' "$work/headers.txt" | tr '\n' ' ')
  case " $types" in *" 000010 "*) ;; *) fail "$name: no version resource (types: $types)" ;; esac
  case " $types" in *" 000018 "*) ;; *) fail "$name: no manifest (types: $types)" ;; esac
  python3 - "$exe" "$version" "$name" <<'PY' || fail "$name: the version resource does not say $version"
import re, sys
data, version, name = open(sys.argv[1], "rb").read(), sys.argv[2], sys.argv[3]
def wide(s):
    return re.escape(s.encode("utf-16-le"))
for key, value in (("FileVersion", version), ("ProductVersion", version), ("OriginalFilename", name)):
    if not re.search(wide(key) + b"\0\0(?:\0\0)?" + wide(value) + b"\0\0", data):
        sys.exit(1)
PY

  "$objdump" -h "$exe" >"$work/sections.txt"
  if grep -q ' \.debug_' "$work/sections.txt"; then fail "$name is not stripped"; fi
  # The section holds the name, cut into the dump's columns: its first 16 characters are enough.
  "$objdump" -s -j .gnu_debuglink "$exe" | tr -d '\n' | grep -q "$(printf '%.16s' "$name.debug")" ||
    fail "$name does not name $name.debug"
  "$objdump" -h "$debug_dir/$name.debug" | grep -q ' \.debug_info ' ||
    fail "$debug_dir/$name.debug holds no debug information"

  # Every imported DLL!function, one a line, sorted; DLL names in lower case.
  awk '/DLL Name:/ { dll = tolower($3); next }
       /^[^\t]/ && !/^ [0-9a-f]+\t/ { dll = "" }
       dll && /^\t[0-9a-f]+\t +[0-9]+  [^ ]+$/ { print dll "!" $3 }' \
    "$work/headers.txt" | sort -u >"$work/imports.txt"
  [ -s "$work/imports.txt" ] || fail "$name: no imports read"
  comm -23 "$work/imports.txt" "$work/allowed.txt" >"$work/not-allowed.txt"
  [ ! -s "$work/not-allowed.txt" ] ||
    fail "$name: imports not known to Windows 7 SP1: $(tr '\n' ' ' <"$work/not-allowed.txt")"
  summary="$summary $name $size bytes, $(wc -l <"$work/imports.txt") imports from"
  summary="$summary $(cut -d! -f1 "$work/imports.txt" | sort -u | tr '\n' ' ');"
}

# What may be imported: entries for both architectures, and those marked with this one.
awk -v arch="$arch" '!/^#/ && NF && (NF == 1 || $2 == arch) { print $1 }' \
  "$src/tests/wine/allowed_imports.txt" | sort -u >"$work/allowed.txt"
check_program marvane.exe 2 Marvane
check_program marvane-convert.exe 3 Marvane.Convert

echo "release package $(basename "$zip"):$summary $failures failure(s)"
[ "$failures" -eq 0 ]
