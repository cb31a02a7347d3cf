#!/usr/bin/env bash
# Fails when a game frame costs more than 10 % more instructions than the
# figure in the figures file. Instruction counts do not depend on the load.
#
#   frame_instructions_check.sh PROGRAM FIGURES_FILE
#
# PROGRAM is klotzar-frame-instructions; exits 77 (skipped) without valgrind.
set -u
PROGRAM=$1
FIGURES=$2
SKIP=77

if ! command -v valgrind >/dev/null 2>&1; then
  echo "SKIPPED: valgrind is not installed (scripts/install-deps.sh --test installs it)"
  exit $SKIP
fi
expected=$(sed -n 's/^frame_instructions=\([0-9][0-9]*\)$/\1/p' "$FIGURES")
if [ -z "$expected" ] || [ "$expected" -le 0 ]; then
  echo "FAIL: no frame_instructions figure in $FIGURES"
  exit 1
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Instructions spent inside drawFrame over $1 frames.
count() {
  local out="$WORK/callgrind.$1"
  if ! SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy valgrind --tool=callgrind --toggle-collect='drawFrame*' \
      --callgrind-out-file="$out" "$PROGRAM" "$1" >"$WORK/run.$1" 2>&1; then
    echo "FAIL: $PROGRAM $1 under callgrind failed:" >&2
    tail -n 20 "$WORK/run.$1" >&2
    return 1
  fi
  sed -n 's/^summary: \([0-9][0-9]*\).*/\1/p' "$out" | head -n1
}

few=$(count 20) || exit 1
many=$(count 60) || exit 1
if [ -z "$few" ] || [ -z "$many" ] || [ "$many" -le "$few" ]; then
  echo "FAIL: no instruction counts from callgrind (20 frames: '$few', 60 frames: '$many')"
  exit 1
fi
per_frame=$(( (many - few) / 40 ))
limit=$(( expected + expected / 10 ))
echo "instructions per game frame: $per_frame (figure $expected, limit $limit)"
if [ "$per_frame" -gt "$limit" ]; then
  echo "FAIL: a game frame costs $per_frame instructions, more than 10 % above $expected ($FIGURES)"
  exit 1
fi
exit 0
