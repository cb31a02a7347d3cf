#!/usr/bin/env bash
# How long the real game takes to start, seen from outside, and how much
# memory it holds at the title screen, as docs/performance.md reports it.
#
#   scripts/perf-startup.sh [build folder] [runs]
#     build folder  default build-perf (klotzar, klotzar-screen-watch, Data)
#     runs          default 5; per-run figures, then the medians
#
# In an 800 x 600 virtual X screen with openbox (the picture 1:1):
#   prompt_ms   exec -> the name prompt's window is on the screen
#   loading_ms  Return in the prompt -> the loading picture is on the screen
#   title_ms    Return in the prompt -> the title screen is on the screen
#   peak_rss_kb VmHWM of the process two seconds after the title showed, and
#               at that moment its resident memory split into anonymous
#               (anon_kb), mapped files such as libraries (file_kb) and shared
#               memory such as the X window's picture (shmem_kb)
# The pictures are recognised by one pixel each (klotzar-screen-watch polls it
# about every millisecond): the loading picture's pixel (9, 0) at (499, 550),
# and the title logo's pixel (300, 100) at (400, 200).
set -u

. "$(dirname "$(readlink -f "$0")")/../tests/support/x-session.sh"
ms() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.0f", (b - a) / 1e6}'; }

if [ "${1:-}" = "--inside" ]; then
  BUILD=$2
  WORK=$3
  APP=
  OB=
  WATCH=
  trap stop_x_clients EXIT
  cd "$WORK" || fail "no work folder"
  start_window_manager openbox.out

  loading=$(convert Data/lade.bmp -format '%[hex:p{9,0}]' info:)
  title=$(convert Data/klotzar.bmp -format '%[hex:p{300,100}]' info:)
  "$BUILD/bench/klotzar-screen-watch" 30 499 550 "$loading" 400 200 "$title" >watch.out &
  WATCH=$!
  sleep 0.3  # the watcher is connected and polling

  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER
  t_exec=$(date +%s%N)
  ./klotzar >app.out 2>&1 &
  APP=$!
  APP_OUT=app.out
  PROMPT=$(await_window 'Highscoreliste' 15 0.005) || exit 1
  t_prompt=$(date +%s%N)
  xdotool windowactivate --sync "$PROMPT" 2>/dev/null
  sleep 0.3
  xdotool type --delay 30 Messung
  sleep 0.2
  t_return=$(date +%s%N)
  xdotool key Return
  wait "$WATCH"
  WATCH=
  t_loading=$(awk '$1 == "match" && $2 == 0 {print $3}' watch.out)
  t_title=$(awk '$1 == "match" && $2 == 1 {print $3}' watch.out)
  [ -n "$t_loading" ] && [ -n "$t_title" ] || fail "pictures not seen: $(cat watch.out)"
  sleep 2
  status=/proc/$APP/status
  field() { awk -v k="$1:" '$1 == k {print $2}' "$status"; }
  echo "prompt_ms=$(ms "$t_exec" "$t_prompt") loading_ms=$(ms "$t_return" "$t_loading") title_ms=$(ms "$t_return" "$t_title") peak_rss_kb=$(field VmHWM) anon_kb=$(field RssAnon) file_kb=$(field RssFile) shmem_kb=$(field RssShmem)"
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
  APP=
  exit 0
fi

cd "$(dirname "$0")/.." || exit 1
BUILD=$(readlink -f "${1:-build-perf}")
RUNS=${2:-5}
for f in klotzar bench/klotzar-screen-watch; do
  [ -x "$BUILD/$f" ] || fail "$BUILD/$f is missing: cmake --build $BUILD --target ${f##*/}"
done
require_tools xvfb-run xdotool openbox xprop convert

echo "$RUNS runs, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
results=$(mktemp)
for run in $(seq "$RUNS"); do
  WORK=$(mktemp -d /tmp/klotzar-perf-XXXXXX)
  copy_game_files "$BUILD" "$WORK"
  xvfb-run -a -s "-screen 0 800x600x24" "$0" --inside "$BUILD" "$WORK" | sed "s/^/run $run: /" | tee -a "$results"
  rm -rf "$WORK"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
for key in prompt_ms loading_ms title_ms peak_rss_kb anon_kb file_kb shmem_kb; do
  sed -n "s/.* $key=\([0-9]*\).*/\1/p" "$results" | sort -n |
    awk -v k="$key" '{ v[NR] = $1 } END { if (NR) print "median " k "=" (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) " (min " v[1] ", max " v[NR] ")" }'
done
rm -f "$results"
