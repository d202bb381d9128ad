#!/bin/sh
# End to end: a real drag from another Wine process onto a window built on our window system,
# by the mouse on a virtual X screen.
#
#   drag_drop_test.sh <cross-build-dir> [<target program>]
#
# The target is drop_probe.exe unless another program is named; it must write <out>\ready.txt
# (its drop area's screen rectangle) and <out>\dropped.txt (the event text, GBK), <out> being its
# one argument. Two files are dragged, one with a Chinese name; they must arrive as Z:\ paths in
# GBK, each followed by CR LF, in the order the source lists them.
# With drop_probe.exe as the target it then rehearses what the program's end-to-end test does
# through window_probe.exe: reads the list box, the status bar and the choice, presses the button,
# reads and closes the message box, and closes the window.
# Needs the Debian packages xvfb, xdotool, wine64, locales (exits 77, "skipped", without them).
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 <cross-build-dir> [<target program>]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
target=${2:-$build/tests/wine/drop_probe.exe}
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/drag-test
mkdir -p "$work"
. "$src/tests/wine/x_session.sh"
need Xvfb xdotool iconv localedef "$wine"

out=$work/out
files=$work/files
rm -rf "$out" "$files"
mkdir -p "$out" "$files"
printf '[00-1A-2B-3C-4D-5E]\r\nName=PC01\r\n' >"$files/客户机列表.ini"
printf '<ClientInfor/>' >"$files/clients.xml"

start_session 936
"$wine" "$target" "$(winpath "$out")" >"$work/target.log" 2>&1 &
target_pid=$!
# A source that offers only a link still drops its files.
MARVANE_DRAG_EFFECTS=4 "$wine" "$build/tests/wine/drag_source.exe" "$(winpath "$out")" \
  "$(winpath "$files/客户机列表.ini")" "$(winpath "$files/clients.xml")" >"$work/source.log" 2>&1 &
wait_for "$out/ready.txt" 60 || { echo "the target did not come up"; exit 1; }
wait_for "$out/source-ready.txt" 30 || { echo "the drag source did not come up"; exit 1; }

start=$(date +%s%N)
mouse_drag "$out/source-ready.txt" "$out/ready.txt"
wait_for "$out/source-result.txt" 20 || { echo "the drag did not end"; exit 1; }
wait_for "$out/dropped.txt" 10 || { echo "nothing was dropped: $(cat "$out/source-result.txt")"; exit 1; }
grep -q 'effect 4$' "$out/source-result.txt" || { echo "not linked: $(cat "$out/source-result.txt")"; exit 1; }
end=$(date +%s%N)

expected=$(printf '%s\r\n%s\r\n' "$(winpath "$files/客户机列表.ini")" "$(winpath "$files/clients.xml")" |
  iconv -f UTF-8 -t GBK | od -An -tx1)
actual=$(od -An -tx1 "$out/dropped.txt")
if [ "$expected" != "$actual" ]; then
  echo "dropped text differs:"
  iconv -f GBK -t UTF-8 "$out/dropped.txt" | od -c | head
  exit 1
fi
echo "drag and drop: 2 files arrived as GBK paths ($(head -1 "$out/source-result.txt");" \
  "mouse-down to drop $(((end - start) / 1000000)) ms)"

[ "$target" = "$build/tests/wine/drop_probe.exe" ] || exit 0

check() {
  if [ "$(cat "$out/probe.txt")" != "$2" ]; then
    echo "$1: expected [$2], got [$(cat "$out/probe.txt")]"
    exit 1
  fi
}
title="Marvane drop probe"
# The list box converts to capitals what it is given.
probe text - "$title" Edit 0
check "list box" "$(printf '%s\r\n%s\r' "$(winpath "$files/客户机列表.ini")" \
  "$(winpath "$files/clients.xml")" | tr a-z A-Z)"
probe text - "$title" msctls_statusbar32 0
check "status bar" " 2"
probe combo - "$title" 0
check "choice" "$(printf '0\t云更新无盘')"
probe click - "$title" 保存
probe msgbox 10000
check "message box" "$(printf '信息：\n已保存 2')"
probe click "#32770" - "#1"
if probe msgbox 1000; then
  echo "the message box did not close"
  exit 1
fi
probe close - "$title"
tries=100
while kill -0 "$target_pid" 2>/dev/null; do
  tries=$((tries - 1))
  [ "$tries" -gt 0 ] || { echo "the window did not close"; exit 1; }
  sleep 0.1
done
echo "window probe: list box, status bar, choice, button, message box and closing all seen"
