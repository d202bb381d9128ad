#!/bin/sh
# Shows a program's window under Wine on a virtual X screen, optionally drops files on its edit
# box with the mouse, and takes a screenshot.
#
#   gui.sh <cross-build-dir> <program.exe> <window title> <out.png> [<file to drop>...]
#
# DPI=120|144|192 shows it at that display scaling (default 96). The screenshot is the window.
#
# The program runs in a Wine desktop of its own (without a window manager only such a desktop
# draws title bars); the helpers run in the same desktop, or they would not see its windows.
# Needs the Debian packages xvfb, xdotool, imagemagick, wine64, locales, fonts-wqy-microhei.
set -eu
if [ $# -lt 4 ]; then
  echo "usage: $0 <cross-build-dir> <program.exe> <window title> <out.png> [<file>...]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
program=$2
title=$3
png=$4
shift 4
src=$(cd "$(dirname "$0")/../.." && pwd)
dpi=${DPI:-96}
work=$build/gui-dpi$dpi
mkdir -p "$work"
[ "$dpi" = 96 ] || export XVFB_SCREEN=1920x1200x24
. "$src/tests/wine/x_session.sh"
need Xvfb xdotool import localedef "$wine"

out=$work/out
rm -rf "$out"
mkdir -p "$out"
desktop="explorer /desktop=marvane,$((1024 * dpi / 96))x$((768 * dpi / 96))"
# A helper's answer: the probe writes its file when it is done, empty when it found nothing.
probe() {
  name=$1
  shift
  rm -f "$out/$name"
  $wine $desktop "$build/tests/wine/window_probe.exe" "$(winpath "$out/$name")" "$@" \
    >>"$work/helpers.log" 2>&1 &
  tries=600
  until [ -e "$out/$name" ]; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
  sleep 0.1
  [ -s "$out/$name" ]
}

start_session 936 "$dpi"
$wine $desktop "$program" >"$work/program.log" 2>&1 &
probe window.txt wait - "$title" 30000 || { echo "no window titled $title"; exit 1; }

if [ $# -gt 0 ]; then
  probe list.txt rect - "$title" Edit 0 || { echo "no edit box in $title"; exit 1; }
  sources=""
  for f in "$@"; do sources="$sources $(winpath "$(cd "$(dirname "$f")" && pwd)/$(basename "$f")")"; done
  # shellcheck disable=SC2086 # one argument per file; the paths hold no blanks
  $wine $desktop "$build/tests/wine/drag_source.exe" "$(winpath "$out")" $sources \
    >>"$work/helpers.log" 2>&1 &
  wait_for "$out/source-ready.txt" 30 || { echo "the drag source did not come up"; exit 1; }
  mouse_drag "$out/source-ready.txt" "$out/list.txt"
  wait_for "$out/source-result.txt" 20 || { echo "the drag did not end"; exit 1; }
  # Let the drop handler finish and the window repaint.
  sleep 2
  probe close-source.txt close MarvaneDragSource - || true
fi
sleep 1
probe window.txt wait - "$title" 30000 || { echo "no window titled $title"; exit 1; }
read -r left top width height <"$out/window.txt"
import -window root -crop "${width}x$height+$left+$top" +repage "$png"
echo "screenshot: $png"
