#!/bin/sh
# Cross-builds the tree for 64-bit Windows and runs the unit tests under Wine: every test as on a
# Chinese Windows (code page 936), the Windows backend's own tests also as on a Western one (1252).
#
#   run_unit_tests.sh [<build-dir>]        (default: build-win in the source tree)
#
# The test runner starts each test through wine_run.sh (set up by cmake/MarvaneTesting.cmake), in
# prefixes kept in <build-dir>/wine. Needs the Debian packages g++-mingw-w64-x86-64, cmake, wine64,
# locales and googletest (exits 77, "skipped", without the compiler or Wine).
set -eu
src=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$src/build-win}
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
for tool in x86_64-w64-mingw32-g++-posix cmake localedef "$wine"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

cmake -S "$src" -B "$build" --toolchain "$src/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2
build=$(cd "$build" && pwd)

# One Wine server per prefix for the whole run: starting one for each test costs seconds.
# (wine_run.sh starts Wine's background processes apart from the tests' output.)
servers=""
for codepage in 936 1252; do
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
ctest -j2 --timeout 600 --output-on-failure || status=1
MARVANE_WINE_CODEPAGE=1252 ctest -j2 --timeout 600 --output-on-failure -R '^win32_' || status=1
exit $status
