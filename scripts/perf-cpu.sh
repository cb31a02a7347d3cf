#!/usr/bin/env bash
# Processor use of the real game in a virtual X screen with a window manager,
# as docs/performance.md reports it.
#
#   scripts/perf-cpu.sh [build folder] [runs] [screen]
#     build folder  default build-perf (needs klotzar, klotzar-play-loop,
#                   klotzar-screen-watch and the generated Data folder)
#     runs          default 3; each figure is printed per run, then the median
#     screen        default 800x600x24 (the picture 1:1); try 1280x1024x24
#                   for a picture scaled to a bigger screen
#
# Per run:
#   title     the real program on the title screen, 30 s with no input
#   play50    the real program in a game started with Return, 30 s at the
#             start speed with no input (the game is still running at the end)
#   play300   klotzar-play-loop --speed 300: the same loop and window, the
#             game forced to start at speed 300 (restarted if it ends), 30 s
#   spin300   klotzar-play-loop --speed 300 --spin: a loop that never sleeps
#             while a game runs (poll, gravity catch-up, draw when it
#             advanced), 10 s
#   rules300  klotzar-play-loop --speed 300 --rules-only: the same loop
#             without drawing, 10 s
#   tick50    klotzar-play-loop --speed 50 --tick-only: the game's pacing
#             with nothing drawn, 10 s (what waking up costs)
#   compose50 klotzar-play-loop --speed 50 --compose-only: the game's pacing,
#             composing the game screen but never presenting it, 10 s
# Processor use is user + system time of every thread of the process over the
# span, in % of one core; the X server's own share is shown beside it (x=).
# peak_rss is the real program's VmHWM at the end of its run.
set -u

SECONDS_TITLE=${PERF_SECONDS:-30}
SECONDS_PLAY=${PERF_SECONDS:-30}
SECONDS_SPIN=${PERF_SPIN_SECONDS:-10}

. "$(dirname "$(readlink -f "$0")")/../tests/support/x-session.sh"

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  BUILD=$2
  WORK=$3
  APP=
  OB=
  trap stop_x_clients EXIT
  cd "$WORK" || fail "no work folder"
  TCK=$(getconf CLK_TCK)

  start_window_manager openbox.out
  XPID=$(pgrep -f "^Xvfb $DISPLAY( |$)" | head -n1)

  # user + system clock ticks of process $1
  ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
  # % of one core used by process $1 from tick count $2 over $3 seconds
  pct() { awk -v a="$2" -v b="$(ticks "$1")" -v s="$3" -v t="$TCK" 'BEGIN{printf "%.2f", 100 * (b - a) / t / s}'; }
  now() { date +%s.%N; }

  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER
  ./klotzar >app.out 2>&1 &
  APP=$!
  APP_OUT=app.out

  PROMPT=$(await_window 'Highscoreliste') || exit 1
  xdotool windowactivate --sync "$PROMPT" 2>/dev/null
  sleep 0.3
  xdotool type --delay 50 Messung
  xdotool key Return
  MAIN=$(await_window '^Klotzar$') || exit 1
  xdotool windowactivate --sync "$MAIN" 2>/dev/null
  sleep 2

  # The title screen, untouched.
  a=$(ticks "$APP"); x=$(ticks "$XPID"); t=$(now)
  sleep "$SECONDS_TITLE"
  s=$(awk -v a="$t" -v b="$(now)" 'BEGIN{print b - a}')
  echo "title cpu=$(pct "$APP" "$a" "$s") x=$(pct "$XPID" "$x" "$s")"

  # A game at the start speed.
  xdotool key Return
  sleep 0.5
  a=$(ticks "$APP"); x=$(ticks "$XPID"); t=$(now)
  sleep "$SECONDS_PLAY"
  s=$(awk -v a="$t" -v b="$(now)" 'BEGIN{print b - a}')
  p=$(pct "$APP" "$a" "$s"); xp=$(pct "$XPID" "$x" "$s")
  # The high-score picture at the top would mean the game ended early (the
  # pixel is looked up where a 1:1 picture shows it; on a scaled screen the
  # check cannot tell and says "unknown").
  hs=$(convert Data/hiscore.bmp -format '%[hex:p{400,60}]' info: 2>/dev/null)
  state=unknown
  case "$SCREEN" in 800x600x*)
    state=running
    if [ -n "$hs" ] && "$BUILD/bench/klotzar-screen-watch" 0.05 400 60 "$hs" >/dev/null 2>&1; then state=ended; fi
  esac
  hwm=$(awk '/VmHWM/{print $2}' "/proc/$APP/status")
  echo "play50 cpu=$p x=$xp game=$state peak_rss_kb=$hwm"
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
  APP=

  # Speed 300 and the spinning loop, in the same window set-up.
  x=$(ticks "$XPID"); t=$(now)
  line=$("$BUILD/bench/klotzar-play-loop" --speed 300 --seconds "$SECONDS_PLAY" 2>/dev/null)
  s=$(awk -v a="$t" -v b="$(now)" 'BEGIN{print b - a}')
  echo "play300 cpu=$(sed -n 's/.*cpu_pct=\([0-9.]*\).*/\1/p' <<<"$line") x=$(pct "$XPID" "$x" "$s") fps=$(sed -n 's/.*frames_per_s=\([0-9.]*\).*/\1/p' <<<"$line")"
  x=$(ticks "$XPID"); t=$(now)
  line=$("$BUILD/bench/klotzar-play-loop" --speed 300 --seconds "$SECONDS_SPIN" --spin 2>/dev/null)
  s=$(awk -v a="$t" -v b="$(now)" 'BEGIN{print b - a}')
  echo "spin300 cpu=$(sed -n 's/.*cpu_pct=\([0-9.]*\).*/\1/p' <<<"$line") x=$(pct "$XPID" "$x" "$s") fps=$(sed -n 's/.*frames_per_s=\([0-9.]*\).*/\1/p' <<<"$line") passes_per_s=$(sed -n 's/.*passes_per_s=\([0-9.]*\).*/\1/p' <<<"$line")"
  line=$("$BUILD/bench/klotzar-play-loop" --speed 300 --seconds "$SECONDS_SPIN" --rules-only 2>/dev/null)
  echo "rules300 cpu=$(sed -n 's/.*cpu_pct=\([0-9.]*\).*/\1/p' <<<"$line") passes_per_s=$(sed -n 's/.*passes_per_s=\([0-9.]*\).*/\1/p' <<<"$line")"
  for mode in tick compose; do
    line=$("$BUILD/bench/klotzar-play-loop" --speed 50 --seconds "$SECONDS_SPIN" --$mode-only 2>/dev/null)
    echo "${mode}50 cpu=$(sed -n 's/.*cpu_pct=\([0-9.]*\).*/\1/p' <<<"$line") fps=$(sed -n 's/.*frames_per_s=\([0-9.]*\).*/\1/p' <<<"$line")"
  done
  exit 0
fi

# --------------------------------------------------------------- outside X ---
cd "$(dirname "$0")/.." || exit 1
BUILD=$(readlink -f "${1:-build-perf}")
RUNS=${2:-3}
SCREEN=${3:-800x600x24}
for f in klotzar bench/klotzar-play-loop bench/klotzar-screen-watch; do
  [ -x "$BUILD/$f" ] || fail "$BUILD/$f is missing: cmake --build $BUILD --target ${f##*/}"
done
require_tools xvfb-run xdotool openbox xprop convert

echo "screen $SCREEN, $RUNS runs, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
results=$(mktemp)
for run in $(seq "$RUNS"); do
  WORK=$(mktemp -d /tmp/klotzar-perf-XXXXXX)
  copy_game_files "$BUILD" "$WORK"
  SCREEN=$SCREEN xvfb-run -a -s "-screen 0 $SCREEN" "$0" --inside "$BUILD" "$WORK" | sed "s/^/run $run: /" | tee -a "$results"
  rm -rf "$WORK"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

# Medians of every figure over the runs.
for mode in title play50 play300 spin300 rules300 tick50 compose50; do
  grep " $mode " "$results" | awk -v mode="$mode" '
    { for (i = 4; i <= NF; i++) { split($i, kv, "="); if (kv[2] ~ /^[0-9.]+$/) { v[kv[1], n[kv[1]]++] = kv[2]; keys[kv[1]] = 1 } } }
    END {
      line = "median " mode
      for (k in keys) {
        m = n[k]; for (i = 0; i < m; i++) a[i] = v[k, i]
        for (i = 0; i < m; i++) for (j = i + 1; j < m; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        med = (m % 2) ? a[int(m / 2)] : (a[m / 2 - 1] + a[m / 2]) / 2
        line = line " " k "=" med
      }
      print line
    }'
done
rm -f "$results"
