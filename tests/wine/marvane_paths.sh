#!/bin/sh
# marvane.exe run from a folder whose name GBK cannot write ("Björn"), on a virtual X screen.
#
#   marvane_paths.sh <cross-build-dir>
#
# Saving either goes beside the program, under the folder's short (8.3) name, or is refused with
# "文件保存失败" when the system has no short name GBK can write; a list dropped from that folder is
# read, or refused, accordingly. Either way nothing is written anywhere else: not in the current
# directory, not in the roots of C: (the prefix's drive_c) or of Z: (/). A read-only mac_sample.txt
# beside the program is kept, and the save refused. Needs what marvane_e2e.sh needs (exits 77,
# "skipped", without it).
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 <cross-build-dir>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/marvane-paths
mkdir -p "$work"
. "$src/tests/wine/x_session.sh"
need Xvfb xdotool iconv localedef cmp "$wine"

out=$work/out
dir=$work/Björn # GBK has no ö
cwd=$work/started-here
rm -rf "$out" "$dir" "$cwd"
mkdir -p "$out" "$dir" "$cwd"
cp "$build/app/win32/marvane.exe" "$src/examples/clients.xml" "$dir/"
printf 'old list\r\n' >"$dir/mac_sample.txt"
chmod a-w "$dir/mac_sample.txt" # how Wine keeps the read-only mark
expected=$src/tests/wine/expected
title=Marvane
# Reads the message box that must be showing, leaves its text in $box and presses OK.
read_msgbox() {
  box=""
  probe msgbox 10000 || { fail "$1: no message box"; return; }
  box=$(cat "$out/probe.txt")
  probe click "#32770" - "#1" || fail "$1: no OK button"
  sleep 0.3
}
# The list box shows <GBK file>'s text exactly.
list_shows() {
  iconv -f GBK -t UTF-8 "$1" >"$out/want.txt"
  tries=30
  until probe text - "$title" Edit 0 && cmp -s "$out/probe.txt" "$out/want.txt"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.2
  done
}
save() { probe click - "$title" 保存 || fail "no 保存 button"; }
refused="$(printf '错误\n文件保存失败')"

start=$(date +%s)
start_session 936
touch "$out/stamp"
(cd "$cwd" && "$wine" "$dir/marvane.exe" >"$work/program.log" 2>&1) &
probe wait - "$title" 60000 || { echo "FAIL: no window titled $title"; exit 1; }

drag "$src/examples/cloud-update.ini"
end_drag
list_shows "$expected/cloud-update.mac_sample.txt" || fail "cloud-update list not shown"

# Read-only: refused whatever the folder, the old bytes kept.
save
read_msgbox "read-only save"
[ "$box" = "$refused" ] || fail "read-only save: [$box]"
[ "$(cat "$dir/mac_sample.txt")" = "$(printf 'old list\r\n')" ] || fail "read-only file changed"

# Writable: saved beside the program under its short path (every part of the path shortened), or
# refused. Where it was saved, the search for strays below checks.
chmod u+w "$dir/mac_sample.txt"
save
read_msgbox "save"
short=""
case $box in
  "$refused")
    echo "no short name GBK can write: the save was refused"
    [ "$(cat "$dir/mac_sample.txt")" = "$(printf 'old list\r\n')" ] || fail "refused save wrote"
    ;;
  "$(printf '成功\n文件保存成功 ')"*"\\mac_sample.txt")
    short=${box#*文件保存成功 }
    short=${short%\\mac_sample.txt}
    printf "saved in %s\n" "$short"
    # Printable ASCII but "?", parts of at most 8.3 characters.
    printf '%s' "$short" | LC_ALL=C grep -Eqx '[A-Z]:(\\[!->@-~]{1,12})+' ||
      fail "not a short path: [$short]"
    cmp -s "$dir/mac_sample.txt" "$expected/cloud-update.mac_sample.txt" || fail "saved bytes"
    ;;
  *) fail "save: [$box]" ;;
esac

# A list in that folder reads by its short name too, or is refused as unreadable.
drag "$dir/clients.xml"
if [ -n "$short" ]; then
  end_drag
  list_shows "$expected/clients.mac_sample.txt" || fail "list from the folder not shown"
else
  read_msgbox "list from the folder"
  end_drag
  [ "$box" = "$(printf '信息：\n暂不支持此文件列表')" ] || fail "list from the folder: [$box]"
fi

probe close - "$title" || fail "could not close the window"
# Nothing written anywhere but beside the program: not in this test's tree (which holds the
# prefix's drive_c), not in the root of Z:.
stray=$(find "$work" -newer "$out/stamp" -name 'mac_sample*' ! -path "$dir/mac_sample.txt")
stray="$stray$(find / -maxdepth 1 -newer "$out/stamp" -name 'mac_sample*')"
[ -z "$stray" ] || fail "written elsewhere: $stray"
[ -z "$(ls -A "$cwd")" ] || fail "written in the current directory: $(ls -A "$cwd")"
echo "marvane paths: $failures failure(s), $(($(date +%s) - start)) s"
[ "$failures" -eq 0 ]
