#!/usr/bin/env python3
"""Packs the release build of marvane.exe for Windows administrators.

    make_dist.py RELEASE_BUILD_DIR DIST_DIR

Writes DIST_DIR/marvane-VERSION-windows-x64.zip holding marvane.exe (stripped, pointing to its
debug information by name), 使用说明.txt and SHA256SUMS, and DIST_DIR/marvane.exe.debug beside it.
VERSION is the project's, as CMake configured the build (and so the version resource).

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

TRIPLE = "x86_64-w64-mingw32"
GUIDE = "使用说明.txt"


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


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_dist.py RELEASE_BUILD_DIR DIST_DIR")
    build, dist = sys.argv[1], sys.argv[2]
    src = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    version = project_version(build)
    objcopy = os.environ.get("OBJCOPY", f"{TRIPLE}-objcopy")
    os.makedirs(dist, exist_ok=True)
    debug = os.path.join(dist, "marvane.exe.debug")
    archive = os.path.join(dist, f"marvane-{version}-windows-x64.zip")

    with tempfile.TemporaryDirectory() as stage:
        exe = os.path.join(stage, "marvane.exe")
        shutil.copyfile(os.path.join(build, "app", "win32", "marvane.exe"), exe)
        subprocess.run([objcopy, "--only-keep-debug", exe, debug], check=True)
        subprocess.run([objcopy, "--strip-all", f"--add-gnu-debuglink={debug}", exe], check=True)
        with open(exe, "rb") as f:
            program = f.read()
        with open(os.path.join(src, "resources", GUIDE), "rb") as f:
            guide = f.read()
        sums = f"{hashlib.sha256(program).hexdigest()}  marvane.exe\n".encode("ascii")

    stamp = time.localtime(int(os.environ.get("SOURCE_DATE_EPOCH", time.time())))[:6]
    tmp = archive + ".part"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in (("marvane.exe", program), (GUIDE, guide), ("SHA256SUMS", sums)):
            info = GbkNameInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            if not name.isascii():
                info.extra = unicode_path_field(name)
            z.writestr(info, data)
    os.replace(tmp, archive)
    print(f"{archive}: marvane.exe {len(program)} bytes; {debug}")


if __name__ == "__main__":
    main()
