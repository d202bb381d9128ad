#!/bin/sh
# Drop to count: how long marvane.exe under Wine takes from a dropped list to showing its MAC list
# and count, on generated lists of each size in both formats. A benchmark, not a test: it prints
# times and never judges them.
#
#   drop_to_count.sh <cross-build-dir> [<sizes>]     sizes: clients, comma-separated
#                                                    (default 1000,10000,50000)
#
# Each run starts the program afresh on a virtual X screen of its own (code page 936), drags the
# list onto the list box with the mouse from drag_source.exe, and takes the Unix time right after
# the button goes up. drop_timer.exe, watching the window from inside Wine, takes the time at which
# the status bar first reads " 共 N 条", the list box holds as many characters as the expected MAC
# list (bench/peer/convert.py's) and the window answers a message; it then checks the whole text.
# The difference is the run's time; RUNS runs (default 3) per case, the median in the table.
# The table also gives the time from the button going up until the drag source's DoDragDrop
# returned, which a drop target that keeps the source waiting while it works makes long.
# The table also gives the processor time marvane.exe used meanwhile (user and system, from
# /proc), which others' work on a shared machine changes less than the wall clock.
# A case that takes longer than CASE_TIMEOUT seconds (default 120) is reported as a timeout.
# Needs the Debian packages xvfb, xdotool, wine64, locales, fonts-wqy-microhei, python3.
set -eu
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 <cross-build-dir> [<sizes>]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
sizes=$(echo "${2:-1000,10000,50000}" | tr ',' ' ')
runs=${RUNS:-3}
case_timeout=${CASE_TIMEOUT:-120}
work=$build/bench-wine
mkdir -p "$work"
# shellcheck source=tests/wine/x_session.sh
. "$src/tests/wine/x_session.sh"
need Xvfb xdotool localedef python3 "$wine"
for exe in app/win32/marvane.exe tests/wine/drag_source.exe tests/wine/window_probe.exe \
  bench/wine/drop_timer.exe; do
  [ -f "$build/$exe" ] || { echo "missing $build/$exe: run make windows" >&2; exit 1; }
done

out=$work/out
dir=$work/program
lists=$work/lists
rm -rf "$out" "$dir"
mkdir -p "$out" "$dir" "$lists"
cp "$build/app/win32/marvane.exe" "$dir/"
title=Marvane
generator=$src/bench/gen/gen_lists.py


# True once process <pid> has gone; false after <seconds>.
gone_within() {
  tries=$(($2 * 10))
  while kill -0 "$1" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Asks the program and the drag source to close and waits for them; ends them when they do not.
end_run() {
  probe close MarvaneDragSource - >/dev/null 2>&1 || true
  probe close - "$title" >/dev/null 2>&1 || true
  for pid in ${source_pid:-} ${timer_pid:-} ${program_pid:-}; do
    gone_within "$pid" 30 || kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  source_pid="" timer_pid="" program_pid=""
}

# The list of <clients> in <format> and the MAC list and count the program must show for it;
# generated once per version of the generator (the name carries its modification time).
prepare() {
  list=$lists/clients-$2-$(stat -c %Y "$generator").$1
  if [ ! -s "$list" ]; then
    python3 "$generator" --clients "$2" --format "$1" --out "$list.part"
    mv "$list.part" "$list"
    rm -rf "$list.expected"
  fi
  if [ ! -s "$list.expected/count.txt" ]; then
    mkdir -p "$list.expected"
    python3 "$src/bench/peer/convert.py" --dir "$list.expected" "$list" \
      >"$list.expected/count.txt"
  fi
  # " 共 N 条" -> N
  count=$(awk '{ print $2 }' "$list.expected/count.txt")
}

# Processor time (user and system) process <pid> has used, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
ticks_per_second=$(getconf CLK_TCK)

# Seconds from <start> to <end>, both Unix times with fractions.
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# One run: the program started afresh, the list dropped, the time to its count printed to
# $out/time.txt ("timeout" or "failed" when it did not get there) and the program's processor
# time meanwhile to $out/cpu.txt.
run_once() {
  rm -f "$out"/source-ready.txt "$out"/source-result.txt "$out"/timer-ready.txt \
    "$out"/timer-result.txt "$out/time.txt" "$out/cpu.txt" "$out/detail.txt" "$out/source.txt"
  (cd "$dir" && exec "$wine" "$dir/marvane.exe") >>"$work/program.log" 2>&1 &
  program_pid=$!
  "$wine" "$build/tests/wine/drag_source.exe" "$(winpath "$out")" "$(winpath "$list")" \
    >>"$work/source.log" 2>&1 &
  source_pid=$!
  "$wine" "$build/bench/wine/drop_timer.exe" "$(winpath "$out")" "$title" "$count" \
    "$(winpath "$list.expected/mac_sample.txt")" $((case_timeout * 1000)) \
    >>"$work/timer.log" 2>&1 &
  timer_pid=$!
  if ! wait_for "$out/source-ready.txt" 60 || ! wait_for "$out/timer-ready.txt" 60; then
    echo failed >"$out/time.txt"
    echo "  the program, its drag source or the timer did not come up" >&2
    return
  fi
  # The program is idle now, as it is again once its count shows.
  cpu_before=$(cpu_ticks "$program_pid")
  mouse_drag "$out/source-ready.txt" "$out/timer-ready.txt"
  dropped=$dropped_at
  wait_for "$out/timer-result.txt" $((case_timeout + 10)) || echo timeout >"$out/timer-result.txt"
  read -r what at <"$out/timer-result.txt" || true
  cpu_after=$(cpu_ticks "$program_pid" 2>/dev/null || echo "$cpu_before")
  awk -v a="$cpu_before" -v b="$cpu_after" -v hz="$ticks_per_second" \
    'BEGIN { printf "%.2f", (b - a) / hz }' >"$out/cpu.txt"
  if [ "$what" != "done" ]; then
    echo timeout >"$out/time.txt"
  elif ! grep -qx "text same" "$out/timer-result.txt"; then
    echo failed >"$out/time.txt"
    echo "  the list box shows another list: $(tail -1 "$out/timer-result.txt")" >&2
  else
    elapsed "$dropped" "$at" >"$out/time.txt"
  fi
  # When the drag source was let go.
  if wait_for "$out/source-result.txt" 30 &&
    released=$(awk '$1 == "released" { print $2 }' "$out/source-result.txt") && [ -n "$released" ]; then
    elapsed "$dropped" "$released" >"$out/source.txt"
  else
    echo timeout >"$out/source.txt"
  fi
  # Where the time went: the count and the list's length, each from the button going up.
  awk -v t0="$dropped" '$1 == "count" || $1 == "list" { printf " %s +%.3f", $1, $2 - t0 }' \
    "$out/timer-result.txt" >"$out/detail.txt"
}

# The middle of the numbers given, or the first word that is not a number.
median() {
  for t in "$@"; do
    case $t in [0-9]*) ;; *) echo "$t"; return ;; esac
  done
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

start_session 936
echo "load before: $(uptime)"
table=""
for format in ini xml; do
  for clients in $sizes; do
    prepare "$format" "$clients"
    times="" cpus="" sources=""
    for r in $(seq 1 "$runs"); do
      run_once
      end_run
      t=$(cat "$out/time.txt")
      c=$(cat "$out/cpu.txt" 2>/dev/null || echo "-")
      g=$(cat "$out/source.txt" 2>/dev/null || echo "-")
      echo "$format $clients run $r: $t s, marvane.exe cpu $c s, source let go after $g s" \
        "(after the drop:$(cat "$out/detail.txt" 2>/dev/null))"
      times="$times $t" cpus="$cpus $c" sources="$sources $g"
    done
    # shellcheck disable=SC2086 # one argument per run
    table="$table$(printf '%-6s %8s %10s %8s %10s   %-26s %s' "$format" "$clients" \
      "$(median $times)" "$(median $cpus)" "$(median $sources)" "$times" "$sources")
"
  done
done
echo "load after: $(uptime)"
echo
printf '%-6s %8s %10s %8s %10s   %-26s %s\n' format clients seconds cpu source "runs (seconds)" \
  "runs (source)"
printf '%s' "$table"
