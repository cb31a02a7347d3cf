#!/usr/bin/env bash
# Runs libFuzzer targets for a while each, from their seed corpus, and fails on
# any crash, leak, timeout (10 s per input) or sanitizer report.
#
#   scripts/fuzz.sh [-j JOBS] SECONDS FUZZER...
#
# FUZZER is a built <name>_fuzzer. Its seeds are tests/fuzz/corpus/<name>; the
# inputs it finds go to <its folder>/corpus/<name>, its log to
# <its folder>/<name>-fuzz.log, and an input that fails is kept in
# <its folder>/crashes/<name>/. Up to JOBS targets run at once (default 1).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=1
if [ "${1:-}" = "-j" ]; then
  jobs=$2
  shift 2
fi
if [ $# -lt 2 ]; then
  echo "usage: $0 [-j JOBS] SECONDS FUZZER..." >&2
  exit 2
fi
seconds=$1
shift

fuzz_one() {
  local fuzzer=$1
  local name dir
  name=$(basename "$fuzzer" _fuzzer)
  dir=$(cd "$(dirname "$fuzzer")" && pwd)
  local work="$dir/corpus/$name" crashes="$dir/crashes/$name" log="$dir/$name-fuzz.log"
  mkdir -p "$work" "$crashes"
  local flags=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
               -print_final_stats=1 -artifact_prefix="$crashes/")
  # A level file is read up to 18,000 bytes: let inputs reach past that.
  [ "$name" = track ] && flags+=(-max_len=20000)
  [ -f "$root/tests/fuzz/$name.dict" ] && flags+=(-dict="$root/tests/fuzz/$name.dict")

  if "$fuzzer" "${flags[@]}" "$work" "$root/tests/fuzz/corpus/$name" >"$log" 2>&1; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $name: ${runs:-?} runs in $seconds s, $(find "$work" -type f | wc -l) inputs found, no failure"
  else
    echo "fuzz $name: FAILED (log: $log)"
    grep -E 'ERROR|SUMMARY|fuzz check failed|Test unit written|==[0-9]+==' "$log" | head -n 20 || true
    echo "fuzz $name: failing inputs in $crashes (once fixed, keep each in tests/fuzz/corpus/$name):"
    ls -1 "$crashes"
    return 1
  fi
}

# The targets write their files in a folder of their own under TMPDIR: in
# memory where possible, and removed here even after a crash.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
TMPDIR=$(mktemp -d "$shm/klotzar-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

failed=0
pids=()
for fuzzer in "$@"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
  fuzz_one "$fuzzer" &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done
exit $failed
