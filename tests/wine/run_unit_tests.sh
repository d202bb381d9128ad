#!/bin/sh
# Cross-builds the tree for Windows of one architecture and runs the unit tests under Wine: every
# test as on a Windows of the first code page given, the Windows backend's own tests also as on a
# Windows of each further one (936 Chinese, 1252 Western).
#
#   run_unit_tests.sh <build-dir> <x86|x64> <code page> [<code page>...]
#
# The test runner starts each test through wine_run.sh (set up by cmake/MarvaneTesting.cmake), in
# prefixes kept in <build-dir>/wine. Needs the Debian packages of the architecture's MinGW-w64
# compiler, cmake, wine64 (and wine32 for x86), locales and googletest (exits 77, "skipped",
# without the compiler or Wine).
set -eu
if [ $# -lt 3 ]; then
  echo "usage: $0 <build-dir> <x86|x64> <code page> [<code page>...]" >&2
  exit 2
fi
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 arch=$2
shift 2
case $arch in
  x86) compiler=i686-w64-mingw32-g++-posix ;;
  x64) compiler=x86_64-w64-mingw32-g++-posix ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
for tool in "$compiler" cmake localedef "$wine"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

cmake -S "$src" -B "$build" --toolchain "$src/cmake/windows-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2
build=$(cd "$build" && pwd)

# One Wine server per prefix for the whole run: starting one for each test costs seconds.
# (wine_run.sh starts Wine's background processes apart from the tests' output.)
servers=""
for codepage in "$@"; do
  "$src/tests/wine/wine_prefix.sh" "$build/wine/cp$codepage" "$codepage" null
  servers="$servers $build/wine/cp$codepage/prefix"
  WINEPREFIX="$build/wine/cp$codepage/prefix" "$wineserver" -p </dev/null >/dev/null 2>&1 || true
done
stop_servers() {
  for prefix in $servers; do WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true; done
}
trap stop_servers EXIT INT TERM

cd "$build"
status=0
MARVANE_WINE_CODEPAGE=$1 ctest -j2 --timeout 600 --output-on-failure || status=1
shift
for codepage in "$@"; do
  MARVANE_WINE_CODEPAGE=$codepage ctest -j2 --timeout 600 --output-on-failure -R '^win32_' ||
    status=1
done
exit $status
