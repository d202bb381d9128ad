#!/usr/bin/env python3
"""Packs a release build of the Windows programs for Windows administrators.

    make_dist.py RELEASE_BUILD_DIR DIST_DIR

Writes DIST_DIR/marvane-VERSION-windows-ARCH.zip holding marvane.exe and marvane-convert.exe
(stripped, each pointing to its debug information by name), 使用说明.txt and SHA256SUMS, and the
debug information beside it as DIST_DIR/marvane-VERSION-windows-ARCH-debug/<program>.debug.
VERSION is the project's, as CMake configured the build (and so the version resource); ARCH, x86
or x64, is the programs' own, read from marvane.exe's header.

Names in the zip are stored in GBK, which the Windows zip folder of a Chinese system reads (it
ignores the UTF-8 flag before Windows 10), with the UTF-8 name in an Info-ZIP Unicode Path field
for every other unpacker.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib

GUIDE = "使用说明.txt"
# The programs, by their names in the zip and where the build leaves them.
PROGRAMS = (("marvane.exe", ("app", "win32")), ("marvane-convert.exe", ("tools", "marvane-convert")))
# The PE header's machine field, for each architecture the release has, and its binutils.
MACHINES = {0x014C: ("x86", "i686-w64-mingw32"), 0x8664: ("x64", "x86_64-w64-mingw32")}


class GbkNameInfo(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits


def unicode_path_field(name):
    gbk = name.encode("gbk")
    utf8 = name.encode("utf-8")
    body = struct.pack("<BI", 1, zlib.crc32(gbk)) + utf8
    return struct.pack("<HH", 0x7075, len(body)) + body


def project_version(build):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        match = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(\S+)$", cache.read(), re.M)
    if not match:
        sys.exit(f"make_dist: no project version in {build}/CMakeCache.txt")
    return match.group(1)


def architecture(exe):
    """The release's name for the program's architecture, and the binutils triple for it."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"make_dist: {exe} is no Windows program")
    (machine,) = struct.unpack_from("<H", data, pe + 4)
    if machine not in MACHINES:
        sys.exit(f"make_dist: {exe} is for machine {machine:#06x}")
    return MACHINES[machine]


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_dist.py RELEASE_BUILD_DIR DIST_DIR")
    build, dist = sys.argv[1], sys.argv[2]
    src = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    version = project_version(build)
    arch, triple = architecture(os.path.join(build, *PROGRAMS[0][1], PROGRAMS[0][0]))
    objcopy = os.environ.get("OBJCOPY", f"{triple}-objcopy")
    stem = os.path.join(dist, f"marvane-{version}-windows-{arch}")
    archive = stem + ".zip"
    os.makedirs(stem + "-debug", exist_ok=True)

    files = []
    with tempfile.TemporaryDirectory() as stage:
        for name, where in PROGRAMS:
            exe = os.path.join(stage, name)
            debug = os.path.join(stem + "-debug", name + ".debug")
            shutil.copyfile(os.path.join(build, *where, name), exe)
            subprocess.run([objcopy, "--only-keep-debug", exe, debug], check=True)
            subprocess.run([objcopy, "--strip-all", f"--add-gnu-debuglink={debug}", exe],
                           check=True)
            with open(exe, "rb") as f:
                files.append((name, f.read()))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    with open(os.path.join(src, "resources", GUIDE), "rb") as f:
        files += [(GUIDE, f.read()), ("SHA256SUMS", sums.encode("ascii"))]

    stamp = time.localtime(int(os.environ.get("SOURCE_DATE_EPOCH", time.time())))[:6]
    tmp = archive + ".part"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in files:
            info = GbkNameInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            if not name.isascii():
                info.extra = unicode_path_field(name)
            z.writestr(info, data)
    os.replace(tmp, archive)
    sizes = ", ".join(f"{name} {len(data)} bytes" for name, data in files[:len(PROGRAMS)])
    print(f"{archive}: {sizes}; debug information in {stem}-debug")


if __name__ == "__main__":
    main()
