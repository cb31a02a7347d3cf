#!/usr/bin/env bash
# What one frame costs, as docs/performance.md reports it: klotzar-bench (Google
# Benchmark) with every case repeated, medians printed.
#
#   scripts/perf-frames.sh [build folder] [repetitions] [x11]
#     build folder  default build-perf
#     repetitions   default 5
#     x11           give "x11" to run in an 800 x 600 Xvfb screen, where the
#                   picture is shown 1:1 in a real window; otherwise SDL's dummy
#                   video driver, whose 1024 x 768 screen scales every present
set -u
cd "$(dirname "$0")/.." || exit 1
BUILD=$(readlink -f "${1:-build-perf}")
REPS=${2:-5}
MODE=${3:-dummy}
BENCH="$BUILD/bench/klotzar-bench"
[ -x "$BENCH" ] || { echo "FAIL: $BENCH is missing: cmake --build $BUILD --target klotzar-bench" >&2; exit 1; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
args=(--benchmark_repetitions="$REPS" --benchmark_report_aggregates_only=true
      --benchmark_filter=-BM_GameFrames --benchmark_format=console)
export SDL_AUDIODRIVER=dummy
if [ "$MODE" = x11 ]; then
  KLOTZAR_BENCH_X11=1 xvfb-run -a -s "-screen 0 800x600x24" "$BENCH" "${args[@]}" 2>&1 | grep -E '_median|^Run|^Load'
else
  "$BENCH" "${args[@]}" 2>&1 | grep -E '_median|^Run|^Load'
fi
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
