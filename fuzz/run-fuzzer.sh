#!/bin/sh
# Runs a libFuzzer target for a number of seconds from its seed corpus.
#
#   fuzz/run-fuzzer.sh <build dir> <target> <seconds>
#
# The target is <build dir>/fuzz/<target> (xml_fuzz, form_fuzz, ...). Seeds come from
# fuzz/corpus/<target without _fuzz>, and fuzz/<that name>.dict when present. Inputs found along the
# way go to <build dir>/fuzz/<target>-corpus, crashes to <build dir>/fuzz/<target>-crash-*; the seeds
# are never changed. Exits non-zero when the fuzzer found a fault.
set -eu
if [ $# -ne 3 ]; then
  echo "usage: $0 <build dir> <target> <seconds>" >&2
  exit 2
fi
build=$1
target=$2
seconds=$3
here=$(cd "$(dirname "$0")" && pwd)
name=${target%_fuzz}
# Undefined behaviour is a finding too: stop at the first report instead of going on.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
work="$build/fuzz/$target-corpus"
mkdir -p "$work"
set -- -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$build/fuzz/$target-"
if [ -f "$here/$name.dict" ]; then
  set -- "$@" -dict="$here/$name.dict"
fi
exec "$build/fuzz/$target" "$@" "$work" "$here/corpus/$name"
