#!/bin/sh
# The release package as an administrator downloads it (make dist):
#
#   dist_test.sh <dist-dir>
#
# The zip, named with the project's version, holds exactly marvane.exe, 使用说明.txt and SHA256SUMS,
# under names a Chinese Windows' zip folder and other unpackers read alike; the checksum fits; the
# guide is the repository's, UTF-8 with a byte-order mark and CR LF line ends. marvane.exe is a
# 64-bit GUI program with its manifest and a version resource carrying the project's version,
# stripped, at most 600,000 bytes, pointing to marvane.exe.debug beside the zip, and it imports
# only what tests/wine/allowed_imports.txt allows: functions Windows 7 SP1 has.
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 <dist-dir>" >&2
  exit 2
fi
dist=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
guide=使用说明.txt
version=$(sed -n 's/^project(marvane VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
zip=$dist/marvane-$version-windows-x64.zip
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
printf 'SHA256SUMS\tSHA256SUMS\nmarvane.exe\tmarvane.exe\n%s\t%s\n' "$guide" "$guide" >"$work/want.txt"
sort "$work/names.txt" | cmp -s - "$work/want.txt" ||
  fail "zip entries: $(tr '\t\n' '| ' <"$work/names.txt")"

unzip -q "$zip" -d "$work/unpacked"
exe=$work/unpacked/marvane.exe
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not fit marvane.exe"

cmp -s "$work/unpacked/$guide" "$src/resources/$guide" || fail "$guide is not the repository's"
python3 - "$src/resources/$guide" <<'PY' || fail "$guide: not UTF-8 with a byte-order mark and CR LF"
import sys
data = open(sys.argv[1], "rb").read()
text = data[3:].decode("utf-8")
ok = data.startswith(b"\xef\xbb\xbf") and text.endswith("\r\n")
ok = ok and text.count("\n") == text.count("\r\n") == text.count("\r")
sys.exit(0 if ok else 1)
PY

size=$(stat -c %s "$exe")
[ "$size" -le 600000 ] || fail "marvane.exe is $size bytes"

"$objdump" -p "$exe" >"$work/headers.txt"
grep -q '^Magic[[:space:]]*020b' "$work/headers.txt" || fail "marvane.exe is not PE32+"
grep -q '^Subsystem[[:space:]]*00000002' "$work/headers.txt" || fail "marvane.exe is not a GUI program"
# Resource types at the top of the resource tree: 16 the version, 24 the manifest.
types=$(sed -n 's/^[0-9a-f]*   Entry: ID: 0x\([0-9a-f]*\),.*/\1/p' "$work/headers.txt" | tr '\n' ' ')
case " $types" in *" 000010 "*) ;; *) fail "no version resource (types: $types)" ;; esac
case " $types" in *" 000018 "*) ;; *) fail "no manifest (types: $types)" ;; esac
python3 - "$exe" "$version" <<'PY' || fail "the version resource does not say $version"
import re, sys
data, version = open(sys.argv[1], "rb").read(), sys.argv[2]
def wide(s):
    return re.escape(s.encode("utf-16-le"))
for key in ("FileVersion", "ProductVersion"):
    if not re.search(wide(key) + b"\0\0(?:\0\0)?" + wide(version) + b"\0\0", data):
        sys.exit(1)
PY

"$objdump" -h "$exe" >"$work/sections.txt"
if grep -q ' \.debug_' "$work/sections.txt"; then fail "marvane.exe is not stripped"; fi
"$objdump" -s -j .gnu_debuglink "$exe" | grep -q 'marvane.exe.debu' ||
  fail "marvane.exe does not name marvane.exe.debug"
"$objdump" -h "$dist/marvane.exe.debug" | grep -q ' \.debug_info ' ||
  fail "marvane.exe.debug holds no debug information"

# Every imported DLL!function, one a line, sorted; DLL names in lower case.
awk '/DLL Name:/ { dll = tolower($3); next }
     /^[^\t]/ && !/^ [0-9a-f]+\t/ { dll = "" }
     dll && /^\t[0-9a-f]+\t +[0-9]+  [^ ]+$/ { print dll "!" $3 }' \
  "$work/headers.txt" | sort -u >"$work/imports.txt"
[ -s "$work/imports.txt" ] || fail "no imports read"
grep -v '^#' "$src/tests/wine/allowed_imports.txt" | sort -u >"$work/allowed.txt"
comm -23 "$work/imports.txt" "$work/allowed.txt" >"$work/not-allowed.txt"
[ ! -s "$work/not-allowed.txt" ] ||
  fail "imports not known to Windows 7 SP1: $(tr '\n' ' ' <"$work/not-allowed.txt")"

echo "release package $(basename "$zip"): marvane.exe $size bytes," \
  "$(wc -l <"$work/imports.txt") imports from $(cut -d! -f1 "$work/imports.txt" | sort -u | tr '\n' ' ')," \
  "$failures failure(s)"
[ "$failures" -eq 0 ]
