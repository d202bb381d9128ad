#!/bin/sh
# Runs a Windows program under Wine without a display: the test runner's emulator.
#
#   wine_run.sh <prefixes-dir> <program.exe> [arguments...]
#
# The prefix is <prefixes-dir>/cp<code page>; the code page is MARVANE_WINE_CODEPAGE (936 when
# unset), so the same tests can run as on a Chinese and on a Western Windows.
set -eu
dir=$1
shift
codepage=${MARVANE_WINE_CODEPAGE:-936}
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine_prefix.sh" "$dir/cp$codepage" "$codepage" null
. "$dir/cp$codepage/env.sh"
unset DISPLAY
wine=${WINE:-/usr/lib/wine/wine64}
# Start Wine's own background processes first, away from the runner's output: the runner waits
# until every process holding its pipes has gone, and those stay as long as the Wine server does.
"$wine" wineboot </dev/null >/dev/null 2>&1 || true
exec "$wine" "$@"
