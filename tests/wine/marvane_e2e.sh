#!/bin/sh
# End to end: marvane.exe on a virtual X screen, files dragged onto its list box with the mouse from
# another Wine process, the window read and its buttons and message boxes pressed from outside.
#
#   marvane_e2e.sh <cross-build-dir> [<code page>] [<dpi>]
#
# The code page (default 936) is the Windows the program runs on: 936 as a Chinese one, 1252 as a
# Western one; the program must show and save the same on both. The DPI (default 96) is the
# display's scaling: at another DPI the window and its controls must come out scaled, every caption
# inside its control (checked in the program's own process by the start-up window test).
# The program runs from a fresh directory of its own, so mac_sample.txt lands there; the saved
# bytes are compared with tests/wine/expected. The program is the build's marvane.exe, or with
# MARVANE_PACKAGE=<zip> the one in that release package. Last, the program is started anew with a
# Chinese-named list as its argument, as Windows starts it for a list opened with it.
# Needs the Debian packages xvfb, xdotool, wine64, locales, fonts-wqy-microhei (exits 77, "skipped",
# without them).
set -eu
if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 <cross-build-dir> [<code page>] [<dpi>]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
codepage=${2:-936}
dpi=${3:-96}
work=$build/marvane-e2e-cp$codepage-dpi$dpi
# Room for the window at 200 %.
[ "$dpi" = 96 ] || export XVFB_SCREEN=1920x1200x24
mkdir -p "$work"
# shellcheck source=tests/wine/x_session.sh
. "$src/tests/wine/x_session.sh"
need Xvfb xdotool iconv localedef cmp unzip "$wine"

out=$work/out
dir=$work/program
files=$work/files
rm -rf "$out" "$dir" "$files"
mkdir -p "$out" "$dir" "$files"
if [ -n "${MARVANE_PACKAGE:-}" ]; then
  unzip -q -o "$MARVANE_PACKAGE" marvane.exe -d "$dir"
else
  cp "$build/app/win32/marvane.exe" "$dir/"
fi
printf 'no list here\r\n' >"$files/notes.txt"
expected=$src/tests/wine/expected
title=Marvane
# Probes until the answer equals <expected> (a while, as the program works on a drop).
expect() {
  what=$1 want=$2
  shift 2
  tries=30
  while :; do
    probe "$@" || true
    [ "$(cat "$out/probe.txt" 2>/dev/null)" = "$want" ] && return 0
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || break
    sleep 0.2
  done
  fail "$what: expected [$want], got [$(cat "$out/probe.txt" 2>/dev/null)]"
}
# The list box must show <GBK file>'s text exactly.
expect_list() {
  iconv -f GBK -t UTF-8 "$2" >"$out/want.txt"
  tries=30
  until probe text - "$title" Edit 0 && cmp -s "$out/probe.txt" "$out/want.txt"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { fail "$1: list box shows [$(cat "$out/probe.txt")]"; return; }
    sleep 0.2
  done
}
# Reads the message box that must be showing and presses its OK button.
expect_msgbox() {
  probe msgbox 10000 || { fail "$1: no message box"; return; }
  [ "$(cat "$out/probe.txt")" = "$2" ] || fail "$1: message box [$(cat "$out/probe.txt")]"
  probe click "#32770" - "#1" || fail "$1: no OK button"
  sleep 0.3
  if probe msgbox 500; then fail "$1: the message box did not close"; fi
}
# Presses 保存.
save() { probe click - "$title" 保存 || fail "no 保存 button"; }
# Clicks the middle of the first control of a class.
click_on() {
  probe rect - "$title" "$1" 0 || { fail "no $1 to click"; return; }
  # shellcheck disable=SC2046 # "x y" as two arguments
  xdotool mousemove $(centre "$out/probe.txt") click 1
}
# Presses keys (xdotool names) and waits for <expected> to have the focus.
key_focus() {
  xdotool key "$1"
  expect "$1: focus" "$2" focus - "$title"
}
# The scaled size of a control from outside: <what> <class> <n> <width> <height> in the form's
# pixels.
expect_size() {
  probe rect - "$title" "$2" "${3:-0}" || { fail "$1: not found"; return; }
  read -r _ _ w h <"$out/probe.txt"
  want_w=$(($4 * dpi / 96)) want_h=$h
  [ "$5" = - ] || want_h=$(($5 * dpi / 96))
  if [ $((w - want_w)) -lt -2 ] || [ $((w - want_w)) -gt 2 ] ||
    [ $((h - want_h)) -lt -2 ] || [ $((h - want_h)) -gt 2 ]; then
    fail "$1: ${w}x$h, not ${want_w}x$want_h"
  fi
}

start=$(date +%s)
start_session "$codepage" "$dpi"
if [ "$dpi" != 96 ]; then
  "$wine" "$build/app/win32/win32_startup_window_test.exe" >"$work/layout.log" 2>&1 ||
    { fail "layout at $dpi DPI"; tail -40 "$work/layout.log"; }
fi
(cd "$dir" && "$wine" "$dir/marvane.exe" >"$work/program.log" 2>&1) &
program_pid=$!
probe wait - "$title" 60000 || { echo "FAIL: no window titled $title"; exit 1; }
saved="文件保存成功 $(winpath "$dir")\\mac_sample.txt"

# As the form gives them, scaled to the display ("-": a drop-down list's closed height is the
# system's).
expect_size window - 0 468 533
expect_size label MarvaneLabel 0 72 24
expect_size button Button 0 80 25
expect_size "group box" Button 1 448 432
expect_size "list box" Edit 0 432 402
expect_size "combo box" ComboBox 0 224 -

# The keyboard: the first tab stop has the focus, Tab and Shift+Tab go round the three controls,
# and Escape in the list box closes nothing.
expect "start focus" "$(printf 'Button\t保存')" focus - "$title"
key_focus Tab "$(printf 'Edit\t')"
key_focus Tab "$(printf 'ComboBox\t云更新无盘')"
key_focus Tab "$(printf 'Button\t保存')"
key_focus shift+Tab "$(printf 'ComboBox\t云更新无盘')"
key_focus shift+Tab "$(printf 'Edit\t')"
xdotool key Escape
sleep 0.5
probe wait - "$title" 1000 || fail "Escape in the list box closed the window"
key_focus shift+Tab "$(printf 'Button\t保存')"

# Nothing dropped yet: Space on 保存 has nothing to save, and the focus comes back to it.
xdotool key space
expect_msgbox "empty save" "$(printf '信息：\n没有可保存的列表')"
if [ -e "$dir/mac_sample.txt" ]; then fail "empty save wrote mac_sample.txt"; fi
expect "focus after the box" "$(printf 'Button\t保存')" focus - "$title"

# The cloud-update list, converted and saved.
drag "$src/examples/cloud-update.ini"
end_drag
expect_list "cloud-update list" "$expected/cloud-update.mac_sample.txt"
expect "cloud-update choice" "$(printf '0\t云更新无盘')" combo - "$title" 0
# Ctrl+A and Ctrl+C in the list box copy the whole list.
click_on Edit
xdotool key ctrl+a ctrl+c
iconv -f GBK -t UTF-8 "$expected/cloud-update.mac_sample.txt" >"$out/want.txt"
if ! probe clipboard || ! cmp -s "$out/probe.txt" "$out/want.txt"; then
  fail "Ctrl+A, Ctrl+C copied [$(cat "$out/probe.txt")]"
fi
expect "cloud-update status bar" " 共 5 条" text - "$title" msctls_statusbar32 0
save
expect_msgbox "cloud-update save" "$(printf '成功\n%s' "$saved")"
cmp "$dir/mac_sample.txt" "$expected/cloud-update.mac_sample.txt" || fail "cloud-update mac_sample.txt"

# Holding Control and Shift refuses the drop: the window keeps what it showed.
MODIFIERS=ctrl+shift drag "$src/examples/clients.xml"
end_drag
sleep 1
if probe msgbox 300; then fail "refused drop showed [$(cat "$out/probe.txt")]"; fi
expect_list "refused drop" "$expected/cloud-update.mac_sample.txt"
expect "refused drop choice" "$(printf '0\t云更新无盘')" combo - "$title" 0

# The XML list replaces the saved file.
drag "$src/examples/clients.xml"
end_drag
expect_list "XML list" "$expected/clients.mac_sample.txt"
expect "XML choice" "$(printf '1\t顺网无盘9系列')" combo - "$title" 0
expect "XML status bar" " 共 5 条" text - "$title" msctls_statusbar32 0
save
expect_msgbox "XML save" "$(printf '成功\n%s' "$saved")"
cmp "$dir/mac_sample.txt" "$expected/clients.mac_sample.txt" || fail "XML mac_sample.txt"

# A file of neither kind: refused with a message, its raw text left in the list box, the choice and
# the count as they were. The drag source is let go before the message is answered.
drag "$files/notes.txt"
end_drag
expect_msgbox "unsupported file" "$(printf '信息：\n暂不支持此文件列表')"
# The list box turns what it is given into capitals.
# shellcheck disable=SC2018,SC2019 # ASCII letters only, as the list box does
tr a-z A-Z <"$files/notes.txt" >"$out/notes-shown.txt"
expect_list "unsupported file" "$out/notes-shown.txt"
expect "unsupported choice" "$(printf '1\t顺网无盘9系列')" combo - "$title" 0
expect "unsupported status bar" " 共 5 条" text - "$title" msctls_statusbar32 0

# Two files at once name no one file: nothing can be read, so the list is refused and emptied.
drag "$src/examples/cloud-update.ini" "$src/examples/clients.xml"
end_drag
expect_msgbox "two files" "$(printf '信息：\n暂不支持此文件列表')"
: >"$out/empty.txt"
expect_list "two files" "$out/empty.txt"
cmp "$dir/mac_sample.txt" "$expected/clients.mac_sample.txt" || fail "mac_sample.txt changed"

# Alt+F4 ends the program, with exit code 0 (a click on the label brings the window to the front
# after the drag sources had it).
click_on MarvaneLabel
sleep 0.5
xdotool key alt+F4
code=0
wait "$program_pid" || code=$?
[ "$code" -eq 0 ] || fail "Alt+F4: exit code $code"

# A list opened with the program (dropped on its icon, "打开方式", "发送到") is its argument: once
# the window shows, it is converted as if dropped on the list box. Given by a relative name, it is
# found where the program was started, not in the program's directory.
cp "$src/examples/cloud-update.ini" "$files/客户机列表.ini"
(cd "$files" && "$wine" "$dir/marvane.exe" 客户机列表.ini >"$work/program.log" 2>&1) &
program_pid=$!
probe wait - "$title" 60000 || fail "no window with a list as the argument"
expect_list "list as the argument" "$expected/cloud-update.mac_sample.txt"
expect "list as the argument: status bar" " 共 5 条" text - "$title" msctls_statusbar32 0
probe close - "$title" || fail "the window did not close"
wait "$program_pid" || fail "with a list as the argument: exit code $?"
echo "marvane end to end (code page $codepage, $dpi DPI): $failures failure(s), $(($(date +%s) - start)) s"
[ "$failures" -eq 0 ]
