#!/usr/bin/env bash
# One series of processor-time and memory figures: builds of the game side by
# side with the floor program (bench/floor.cpp) and a peer game, xwelltris,
# run after run in the same kind of virtual X screen with openbox, as
# docs/performance.md reports them.
#
#   scripts/perf-series.sh [--runs N] [--seconds S] LABEL=BUILD...
#     LABEL=BUILD  a name and a build folder holding klotzar, its Data folder
#                  and bench/klotzar-floor (e.g. before=build-old after=build);
#                  the floor program of the first build is used
#     --runs       default 3; every figure is printed per run, then the median
#     --seconds    default 30: the length of every measured span
#
# Per run, each subject in a fresh 800 x 600 screen:
#   floor     klotzar-floor: one block moving a pixel per frame, 50 frames/s
#   LABEL     the game with SDL_AUDIODRIVER=dummy and default settings: the
#             title screen untouched (title), a game at the start speed
#             (play), the same game paused (paused); then pieces are dropped
#             until the game is over and the peak resident memory of the
#             whole run is read (peak_mb)
#   xwelltris its menu (title), then a game (play), peak_mb
# and in a fresh 1280 x 1024 screen (the game's picture scaled): floor and
# each LABEL's play.
# The floor runs again right before every LABEL, and each LABEL's play is
# also given as over_floor: its sum over the sum of that floor span. Spans
# minutes apart differ by more than what is measured, as the machine's other
# work comes and goes; a ratio of neighbours does not.
# Processor use is the time on a core of every thread of the program (cpu)
# and of the X server (x) over the span, in % of one core, with their sum;
# nanosecond counts (/proc/PID/task/*/schedstat), so that even a sleeping
# program's few wake-ups show. The load average is printed with every run.
# xwelltris is installed with apt-get when it is missing.
set -u

. "$(dirname "$(readlink -f "$0")")/../tests/support/x-session.sh"

SPAN=30
RUNS=3

# Nanoseconds on a core of every thread of process $1.
cpu_ns() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'
}
# % of one core: from nanosecond counts $1 to $2 over wall nanoseconds $3.
pct() { awk -v a="$1" -v b="$2" -v w="$3" 'BEGIN { printf "%.3f", 100 * (b - a) / w }'; }
peak_mb() { awk '/^VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status" 2>/dev/null; }

# Measures process $1 and the X server for SPAN seconds; prints
# "cpu=.. x=.. sum=..".
measure_span() {
  local app=$1 a x t b y u
  a=$(cpu_ns "$app"); x=$(cpu_ns "$X_SERVER_PID"); t=$(date +%s%N)
  sleep "$SPAN"
  b=$(cpu_ns "$app"); y=$(cpu_ns "$X_SERVER_PID"); u=$(date +%s%N)
  awk -v a="$a" -v b="$b" -v x="$x" -v y="$y" -v w="$((u - t))" \
    'BEGIN { c = 100 * (b - a) / w; s = 100 * (y - x) / w; printf "cpu=%.3f x=%.3f sum=%.3f", c, s, c + s }'
}

# The span's figures $1, with over_floor: its sum over FLOOR_SUM, the floor
# measured just before.
over_floor() {
  local sum=${1##*sum=}
  if [ -n "${FLOOR_SUM:-}" ]; then
    echo "$1 over_floor=$(awk -v a="$sum" -v f="$FLOOR_SUM" 'BEGIN { printf "%.3f", a / f }')"
  else
    echo "$1"
  fi
}

# ------------------------------------------------------------ inside X ---
if [ "${1:-}" = "--inside" ]; then
  WHAT_TO_RUN=$2 BUILD=$3 WORK=$4 SPAN=$5 SCREEN_NAME=$6
  APP= OB=
  APP_OUT=$WORK/app.out
  trap stop_x_clients EXIT
  cd "$WORK" || fail "no work folder"
  start_window_manager openbox.out
  sleep 1
  say() { echo "screen=$SCREEN_NAME subject=$WHAT_TO_RUN $*"; }
  case "$WHAT_TO_RUN" in
  floor)
    "$BUILD/bench/klotzar-floor" --seconds $((SPAN + 4)) >floor.out 2>&1 &
    APP=$!
    sleep 2
    say "mode=play $(measure_span "$APP")"
    wait "$APP"
    APP=
    say "mode=own $(cat floor.out)"
    ;;
  xwelltris)
    # Its SDL 1.2 has no dummy sound; the disk driver writes nowhere instead.
    export HOME=$WORK SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
    /usr/games/xwelltris >"$APP_OUT" 2>&1 &
    APP=$!
    WIN=
    # Its window has a class but no name.
    wait_until 30 0.1 eval 'WIN=$(xdotool search --onlyvisible --class "^xwelltris$" 2>/dev/null | head -n1); [ -n "$WIN" ]' ||
      fail "xwelltris showed no window: $(cat "$APP_OUT")"
    sleep 2
    say "mode=title $(measure_span "$APP")"
    # The menu's "New Game", where the 800 x 600 window shows it.
    xdotool mousemove --window "$WIN" 395 520 click 1
    sleep 1
    # It asks for the player's name first.
    xdotool type --delay 50 Messung
    xdotool key Return
    sleep 1
    say "mode=play $(measure_span "$APP") peak_mb=$(peak_mb "$APP")"
    ;;
  *)
    export SDL_AUDIODRIVER=dummy
    unset SDL_VIDEODRIVER
    ./klotzar >"$APP_OUT" 2>&1 &
    APP=$!
    enter_name Messung 50
    sleep 2
    if [ "$SCREEN_NAME" = 800x600 ]; then
      say "mode=title $(measure_span "$APP")"
      xdotool key Return
      sleep 1
      say "mode=play $(over_floor "$(measure_span "$APP")")"
      xdotool key p
      sleep 1
      say "mode=paused $(measure_span "$APP")"
      xdotool key p
      # Every piece dropped straight down: the game is over within some
      # twenty drops, and the high-score screen shows.
      for _ in $(seq 40); do xdotool key Control_L; sleep 0.15; done
      sleep 2
      say "mode=whole peak_mb=$(peak_mb "$APP")"
    else
      xdotool key Return
      sleep 1
      say "mode=play $(over_floor "$(measure_span "$APP")") peak_mb=$(peak_mb "$APP")"
    fi
    ;;
  esac
  exit 0
fi

# ----------------------------------------------------------- outside X ---
SUBJECTS=()
while [ $# -gt 0 ]; do
  case "$1" in
  --runs) RUNS=$2; shift 2 ;;
  --seconds) SPAN=$2; shift 2 ;;
  *=*) SUBJECTS+=("$1"); shift ;;
  *) fail "unknown argument '$1' (see the head of $0)" ;;
  esac
done
[ ${#SUBJECTS[@]} -gt 0 ] || fail "no build given: LABEL=BUILD ..."
for subject in "${SUBJECTS[@]}"; do
  build=${subject#*=}
  [ -x "$build/klotzar" ] && [ -d "$build/Data" ] || fail "$build has no klotzar or Data folder"
done
FLOOR_BUILD=$(readlink -f "${SUBJECTS[0]#*=}")
[ -x "$FLOOR_BUILD/bench/klotzar-floor" ] || fail "$FLOOR_BUILD/bench/klotzar-floor is missing: cmake --build $FLOOR_BUILD --target klotzar-floor"
require_tools Xvfb xdotool openbox xprop xlogo
if [ ! -x /usr/games/xwelltris ]; then
  echo "installing xwelltris, the peer measured beside the game"
  apt-get install -y xwelltris >/dev/null || fail "xwelltris could not be installed"
fi

results=$(mktemp)
one() {  # what build screen
  local work
  work=$(mktemp -d /tmp/klotzar-series-XXXXXX)
  [ "$1" = floor ] || [ "$1" = xwelltris ] || copy_game_files "$2" "$work"
  in_x_screen "${3}x24" "$0" --inside "$1" "$2" "$work" "$SPAN" "$3" | sed "s/^/run=$run /" | tee -a "$results"
  rm -rf "$work"
}
# Every build right after a floor span of its own, given as FLOOR_SUM.
builds_after_floors() {  # screen
  local subject
  for subject in "${SUBJECTS[@]}"; do
    one floor "$FLOOR_BUILD" "$1"
    FLOOR_SUM=$(tail -n 2 "$results" | sed -n 's/.* mode=play .*sum=\([0-9.]*\).*/\1/p') \
      one "${subject%%=*}" "$(readlink -f "${subject#*=}")" "$1"
  done
}
export FLOOR_SUM=
for run in $(seq "$RUNS"); do
  echo "run=$run load=$(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$results"
  builds_after_floors 800x600
  one xwelltris - 800x600
  builds_after_floors 1280x1024
done
echo "after: load=$(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$results"

# The median of every figure over the runs, per screen, subject and mode.
echo
echo "medians of $RUNS runs, spans of $SPAN s:"
grep '^run=[0-9]* screen=' "$results" | awk '
  {
    key = $2 " " $3 " " $4
    if (!(key in seen)) { seen[key] = 1; order[++nkeys] = key }
    for (i = 5; i <= NF; i++) {
      split($i, kv, "=")
      if (kv[2] ~ /^[0-9.]+$/) {
        f = key SUBSEP kv[1]
        if (!(f in count)) { fields[key] = fields[key] " " kv[1] }
        values[f, count[f]++] = kv[2]
      }
    }
  }
  END {
    for (k = 1; k <= nkeys; k++) {
      key = order[k]; line = key
      n = split(fields[key], names, " ")
      for (j = 1; j <= n; j++) {
        f = key SUBSEP names[j]; m = count[f]
        for (i = 0; i < m; i++) a[i] = values[f, i] + 0
        for (i = 0; i < m; i++) for (l = i + 1; l < m; l++) if (a[l] < a[i]) { t = a[i]; a[i] = a[l]; a[l] = t }
        med = (m % 2) ? a[int(m / 2)] : (a[m / 2 - 1] + a[m / 2]) / 2
        line = line " " names[j] "=" med " (" a[0] "-" a[m - 1] ")"
      }
      print line
    }
  }'
rm -f "$results"
