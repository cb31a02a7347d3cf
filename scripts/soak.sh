#!/usr/bin/env bash
# Plays GAMES bot games with klotzar-soak, shared out over JOBS processes with
# the seeds 1 to JOBS, and fails if any game breaks a rule of the game. A fault
# names its game and seed; `klotzar-soak GAMES SEED` replays that share.
#
#   scripts/soak.sh [-j JOBS] GAMES SOAK_BINARY
set -euo pipefail

jobs=1
if [ "${1:-}" = "-j" ]; then
  jobs=$2
  shift 2
fi
if [ $# -ne 2 ]; then
  echo "usage: $0 [-j JOBS] GAMES SOAK_BINARY" >&2
  exit 2
fi
games=$1
binary=$2

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
start=$(date +%s)
pids=()
for seed in $(seq 1 "$jobs"); do
  share=$((games / jobs + (seed <= games % jobs ? 1 : 0)))
  "$binary" "$share" "$seed" >"$logs/$seed" 2>&1 &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done
cat "$logs"/*
echo "soak: $games games in $(($(date +%s) - start)) s on $jobs processes, $([ $failed = 0 ] && echo "no fault" || echo FAILED)"
exit $failed
