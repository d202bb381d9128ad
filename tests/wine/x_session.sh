# Shared by the scripts that run Windows programs on a virtual X screen; sourced, not run.
# Needs: src (the source tree), work (a directory of the script's own); probe also build (the
# cross build) and out (where answers go).

wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

# Skips (exit 77) unless every named command exists.
need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1 && [ ! -x "$tool" ]; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
}

failures=0
# Counts a failure and says what it was.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Runs window_probe; its answer (UTF-8) is left in $out/probe.txt.
probe() {
  rm -f "$out/probe.txt"
  "$wine" "$build/tests/wine/window_probe.exe" "$(winpath "$out/probe.txt")" "$@"
}

# Wine reaches the Unix file system through drive Z:.
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

# Waits until a file exists and is not empty; false after <seconds>.
wait_for() {
  tries=$(($2 * 10))
  while [ ! -s "$1" ]; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Starts Xvfb on a free display (XVFB_SCREEN, default 1024x768x24) and a Wine prefix (code page $1,
# DPI $2, default 96) that draws on it. Everything started is ended when the script exits.
start_session() {
  session_dpi=${2:-96}
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  trap end_session EXIT INT TERM
  export DISPLAY=":$n"
  tries=50
  until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
    sleep 0.1
  done
  if [ "$session_dpi" = 96 ]; then prefix_dir=$work/wine-cp$1; else prefix_dir=$work/wine-cp$1-dpi$session_dpi; fi
  "$src/tests/wine/wine_prefix.sh" "$prefix_dir" "$1" x11 "$session_dpi"
  . "$prefix_dir/env.sh"
}

end_session() {
  "$wineserver" -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# The centre of a rectangle file ("left top width height") as "x y".
centre() { awk '{ printf "%d %d", $1 + $3 / 2, $2 + $4 / 2 }' "$1"; }

# Drags with the left button from the centre of one rectangle file to the centre of another,
# holding the keys named in MODIFIERS (xdotool names, e.g. ctrl+shift) throughout. The moment the
# button goes up is left in dropped_at (seconds since 1970).
mouse_drag() {
  set -- $(centre "$1") $(centre "$2")
  xdotool mousemove "$1" "$2"
  sleep 0.3
  if [ -n "${MODIFIERS:-}" ]; then xdotool keydown "$MODIFIERS"; fi
  xdotool mousedown 1
  # OLE notices the drag only when the mouse moves with the button held, a step at a time.
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  dropped_at=$(date +%s.%N)
  if [ -n "${MODIFIERS:-}" ]; then xdotool keyup "$MODIFIERS"; fi
}

# Drags the named files (paths without blanks) from a drag source onto the first edit box of the
# window titled $title, holding the keys named in MODIFIERS (xdotool names, e.g. ctrl+shift)
# while the mouse moves and lets go.
drag() {
  rm -f "$out/source-ready.txt" "$out/source-result.txt"
  paths=""
  for f in "$@"; do paths="$paths $(winpath "$f")"; done
  # shellcheck disable=SC2086 # one argument per file; the paths hold no blanks
  "$wine" "$build/tests/wine/drag_source.exe" "$(winpath "$out")" $paths >>"$work/source.log" 2>&1 &
  source_pid=$!
  wait_for "$out/source-ready.txt" 30 || { fail "the drag source did not come up"; return; }
  probe rect - "$title" Edit 0 || { fail "no list box"; return; }
  mouse_drag "$out/source-ready.txt" "$out/probe.txt"
}
# Waits for the drag source to report the end of the drag, and closes it.
end_drag() {
  wait_for "$out/source-result.txt" 20 || fail "the drag did not end"
  probe close MarvaneDragSource - || true
  wait "$source_pid" || true
}
