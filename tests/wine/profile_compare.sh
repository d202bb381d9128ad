#!/bin/sh
# Compares our profile reader with the platform's GetPrivateProfileStringA run under Wine.
#
#   profile_compare.sh <work-dir> <profile_compare program>
#
# Needs the apt packages g++-mingw-w64-x86-64 and wine64 (exits 77, "skipped", without them).
# Everything it makes stays in <work-dir>: the probe's build, a Wine prefix of its own, the large
# corpus files and the recorded answers. Code page 936 comes from the zh_CN locale name; the probe
# refuses to run under any other ANSI code page.
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 <work-dir> <profile_compare program>" >&2
  exit 2
fi
work=$(mkdir -p "$1" && cd "$1" && pwd)
compare=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

for tool in x86_64-w64-mingw32-g++-posix python3 cmake; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done
if [ ! -x "$wine" ]; then
  echo "skipped: $wine is not installed (package wine64)"
  exit 77
fi

# Wine reaches the Unix file system through drive Z:.
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

cmake -S "$src/tools/ini-probe" -B "$work/probe-build" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$src/cmake/windows-x64.cmake" >"$work/probe-build.log" 2>&1 &&
  cmake --build "$work/probe-build" -j2 >>"$work/probe-build.log" 2>&1 ||
  { cat "$work/probe-build.log"; exit 1; }

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# Wine takes the ANSI code page from the locale's name; the locale need not be installed.
run_wine() { LC_ALL=zh_CN.UTF-8 "$wine" "$@"; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  run_wine wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
fi

python3 "$src/tests/wine/profile_compare_large.py" "$work/large"
rm -rf "$work/recorded"
mkdir -p "$work/recorded"
status=0
run_wine "$work/probe-build/ini_probe.exe" "$(winpath "$work/recorded")" \
  "$(winpath "$src/tests/ini-corpus")" "$(winpath "$work/large")" || status=$?
"$wineserver" -k 2>/dev/null || true
[ "$status" -eq 0 ] || { echo "ini_probe failed ($status)"; exit 1; }

# The answers kept beside the corpus (read by the unit tests) must be what the platform says now.
stale=0
for kept in "$src"/tests/ini-corpus/*.expected; do
  if ! cmp -s "$kept" "$work/recorded/$(basename "$kept")"; then
    echo "STALE $kept differs from the platform's answers in $work/recorded"
    stale=1
  fi
done

"$compare" "$work/recorded" "$src/tests/ini-corpus" "$work/large" || exit 1
exit $stale
