#!/bin/sh
# Makes (once) a Wine prefix for running our Windows programs, and the environment to use it.
#
#   wine_prefix.sh <dir> <code page: 936|1252> <graphics: null|x11> [<dpi>]
#
# Leaves <dir>/prefix (the WINEPREFIX) and <dir>/env.sh, to be sourced before running Wine.
# A prefix keeps the code page it was first started with: Wine rewrites its font settings when
# the code page changes, so a different code page needs a different <dir>.
#
# Code page 936 needs a zh_CN.UTF-8 locale that the C library knows, or Wine reads file names and
# command-line arguments as ASCII; one is compiled into <dir>/locale (Debian package locales).
# "null" graphics run windows without any display; "x11" needs DISPLAY. The DPI (default 96) is the
# display scaling the prefix's programs see: 120 is 125 %, 144 is 150 %, 192 is 200 %.
set -eu

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: $0 <dir> <936|1252> <null|x11> [<dpi>]" >&2
  exit 2
fi
dir=$1
codepage=$2
graphics=$3
dpi=${4:-96}
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
case $codepage in 936 | 1252) ;; *) echo "unknown code page $codepage" >&2; exit 2 ;; esac
case $graphics in null | x11) ;; *) echo "unknown graphics $graphics" >&2; exit 2 ;; esac
case $dpi in 96 | 120 | 144 | 192) ;; *) echo "unsupported DPI $dpi" >&2; exit 2 ;; esac

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
want="codepage=$codepage graphics=$graphics dpi=$dpi"

# Tests start in parallel; one of them makes the prefix, the others wait for it.
exec 9>"$dir/.lock"
flock 9
if [ -f "$dir/ready" ]; then
  [ "$(cat "$dir/ready")" = "$want" ] && exit 0
  echo "$dir holds a prefix made with $(cat "$dir/ready"), not $want" >&2
  exit 1
fi

{
  echo "export WINEPREFIX='$dir/prefix'"
  echo "export WINEDEBUG=-all"
  # No installers for .NET or the HTML engine: nothing here needs them.
  echo "export WINEDLLOVERRIDES='mscoree,mshtml='"
  if [ "$codepage" = 936 ]; then
    echo "export LOCPATH='$dir/locale' LC_ALL=zh_CN.UTF-8"
  else
    echo "export LC_ALL=C.UTF-8"
  fi
  echo "unset LANG LANGUAGE"
} >"$dir/env.sh"

if [ "$codepage" = 936 ] && [ ! -d "$dir/locale/zh_CN.UTF-8" ]; then
  mkdir -p "$dir/locale"
  localedef -i zh_CN -f UTF-8 "$dir/locale/zh_CN.UTF-8"
fi

. "$dir/env.sh"
[ "$graphics" = null ] && unset DISPLAY
"$wine" wineboot -i >"$dir/wineboot.log" 2>&1 || { cat "$dir/wineboot.log" >&2; exit 1; }
"$wineserver" -w

# Only after the first start in the final code page: that start writes Wine's own font settings.
# Message boxes and captions ask for "MS Shell Dlg"; controls never sent a font use "System".
# A fresh prefix now and then fails to start reg.exe ("Application could not be started"): try
# again once Wine has settled, and say why when it keeps failing.
reg() {
  for attempt in 1 2 3; do
    "$wine" reg add "$@" /f >>"$dir/wineboot.log" 2>&1 && return 0
    "$wineserver" -w
    sleep "$attempt"
  done
  cat "$dir/wineboot.log" >&2
  return 1
}
for font in "MS Shell Dlg" "MS Shell Dlg 2" "System" "Tahoma" "MS Sans Serif" "SimSun" \
  "NSimSun" "宋体" "Microsoft YaHei" "微软雅黑"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "WenQuanYi Micro Hei"
done
if [ "$graphics" = null ]; then
  reg 'HKCU\Software\Wine\Drivers' /v Graphics /d null
fi
reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$wineserver" -w
echo "$want" >"$dir/ready"
