#!/usr/bin/env bash
# The real program played the way Linux players play it, in a virtual X
# screen with a window manager:
#  1. the name prompt's offered name typed over; in a game another window
#     takes the focus: the game shows PAUSE and its piece stays put for 5 s;
#     P resumes it;
#  2. the next start offers the name confirmed before: Return alone takes it;
#  3. a whole session with a pad alone: a pad that SDL makes itself, put into
#     the program by the pad library (LD_PRELOAD) and worked through a FIFO.
#
#   player_window_test.sh <klotzar> <pad library> <klotzar-screenshots> <build folder>
set -u

NAME=Xaver
SCREEN_W=1024
SCREEN_H=768
LIMIT=200  # seconds for all three runs in the X screen

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  BIN=$2
  PAD_PRELOAD=$3
  WORK=$4
  APP=
  OB=
  CLOCK=
  trap 'stop_x_clients; [ -n "$CLOCK" ] && kill "$CLOCK" 2>/dev/null' EXIT
  cd "$WORK" || fail "no work folder"
  start_window_manager openbox.out
  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER
  SHOTS=$WORK
  FAILED_SHOT=$WORK/failed-shot.png

  # Picture region $1 (WxH+X+Y) of the screen scaled back to 800 x 600, into $2.
  grab() {
    import -window root "$SHOTS/shot.png" 2>/dev/null || return 1
    convert "$SHOTS/shot.png" -filter point -resize 800x600\! -crop "$1" +repage "$2"
  }
  # Pixels of region $1 close to the pause text's orange, RGB(220, 133, 0).
  pause_pixels() {
    grab "$1" part.png || { echo 0; return; }
    convert part.png -fill black -fuzz 12% +opaque 'rgb(220,133,0)' -fill white -opaque 'rgb(220,133,0)' \
      -format '%[fx:int(mean*w*h+0.5)]' info:
  }
  # Waits until the main window covers the screen and has the focus; sets MAIN.
  await_main_window() {
    MAIN=$(await_window '^Klotzar$') || exit 1
    for _ in $(seq 100); do
      geometry=$(xdotool getwindowgeometry "$MAIN" | tr '\n' ' ')
      case "$geometry" in *"Position: 0,0 "*"Geometry: ${SCREEN_W}x${SCREEN_H}"*) break ;; esac
      sleep 0.1
    done
    focus "$MAIN"
  }
  # Waits up to 30 s for the program to end; fails unless it ended with 0.
  await_exit() {
    for _ in $(seq 300); do
      kill -0 "$APP" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$APP" 2>/dev/null && fail "${WHAT}the program did not end"
    wait "$APP"
    local status=$?
    APP=
    [ $status -eq 0 ] || fail "${WHAT}exit status $status: $(cat "$APP_OUT")"
  }

  # -- 1: typed over the offered name; leaving the window pauses ------------
  WHAT="run 1: "
  APP_OUT=$WORK/app1.out
  ./klotzar >"$APP_OUT" 2>&1 &
  APP=$!
  PROMPT=$(await_window 'Highscoreliste') || exit 1
  focus "$PROMPT"
  sleep 0.3
  xdotool type --delay 80 "$NAME"
  xdotool key Return
  await_main_window
  await_screen ref/title.bmp 800x600+0+0 300 15
  class=$(xprop -id "$MAIN" WM_CLASS)
  case "$class" in *'"klotzar", "klotzar"'*) ;; *) fail "window class: $class" ;; esac

  xdotool key Return
  await_screen ref/game.bmp 400x150+350+30 150 5
  # A small window beside the board takes the focus (xev accepts it).
  xev -geometry 100x100+900+640 >/dev/null 2>&1 &
  CLOCK=$!
  OTHER=$(await_window '^Event Tester$') || exit 1
  focus "$OTHER"
  seen=0
  for _ in $(seq 40); do
    seen=$(pause_pixels 160x50+110+285)
    [ "$seen" -gt 30 ] 2>/dev/null && break
    sleep 0.25
  done
  [ "$seen" -gt 30 ] 2>/dev/null || { cp shot.png "$FAILED_SHOT"; fail "${WHAT}no PAUSE after the focus went ($seen pixels)"; }
  echo "  PAUSE shown: $seen pixels"
  grab 250x500+50+50 board-before.png || fail "no screenshot"
  sleep 5  # the check itself: five seconds in which nothing may fall
  grab 250x500+50+50 board-after.png || fail "no screenshot"
  moved=$(compare -metric AE -fuzz 8% board-before.png board-after.png null: 2>&1 | cut -d' ' -f1)
  [ "$moved" = 0 ] || fail "${WHAT}the board changed while paused ($moved pixels)"
  kill "$CLOCK" 2>/dev/null
  CLOCK=
  focus "$MAIN"
  xdotool key p
  resumed=
  for _ in $(seq 40); do
    grab 250x500+50+50 board-now.png || break
    moved=$(compare -metric AE -fuzz 8% board-before.png board-now.png null: 2>&1 | cut -d' ' -f1)
    [ "${moved%.*}" -gt 0 ] 2>/dev/null && { resumed=1; break; }
    sleep 0.25
  done
  [ -n "$resumed" ] || fail "${WHAT}P did not resume the game"
  xdotool key Escape
  await_screen ref/highscores.bmp 800x200+0+0 300 5
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  await_exit
  [ "$(cat Data/name.txt)" = "$NAME"$'\r' ] || fail "${WHAT}Data/name.txt holds '$(cat Data/name.txt)'"

  # -- 2: the remembered name, taken with Return alone ----------------------
  WHAT="run 2: "
  APP_OUT=$WORK/app2.out
  ./klotzar >"$APP_OUT" 2>&1 &
  APP=$!
  PROMPT=$(await_window 'Highscoreliste') || exit 1
  focus "$PROMPT"
  sleep 0.3
  xdotool key Return
  await_main_window
  await_screen ref/title.bmp 800x600+0+0 300 15
  xdotool key Escape
  await_exit

  # -- 3: a whole session by pad ---------------------------------------------
  # The same program with a pad put in beside it (LD_PRELOAD), worked through
  # a FIFO; the pad answers each command once the program has taken it in.
  WHAT="run 3 (pad): "
  APP_OUT=$WORK/app3.out
  ANSWERS=$WORK/pad.answers
  mkfifo pad.commands
  : >"$ANSWERS"
  # Held open for reading here too, so that neither side waits to open it.
  exec 3<>pad.commands
  LD_PRELOAD=$PAD_PRELOAD PAD_PRELOAD_COMMANDS=$WORK/pad.commands PAD_PRELOAD_ANSWERS=$ANSWERS \
    ./klotzar >"$APP_OUT" 2>&1 3>&- &
  APP=$!
  SENT=0
  all_answered() {
    [ "$(wc -l <"$ANSWERS")" -ge "$SENT" ] && return 0
    expect_running
    return 1
  }
  # Sends commands, one an argument, and waits until the program has taken
  # each in. Sent together they follow each other within the program's own
  # loop: a press and its release come sooner than a held direction repeats.
  pad() {
    printf '%s\n' "$@" >&3
    SENT=$((SENT + $#))
    wait_until 60 0.05 all_answered || fail "${WHAT}no answer to '$*': $(cat "$ANSWERS")"
    ! grep -q '^failed ' "$ANSWERS" || fail "${WHAT}$(grep -m1 '^failed ' "$ANSWERS")"
  }
  tap() { pad "press $1" "release $1"; }

  PROMPT=$(await_window 'Highscoreliste') || exit 1
  focus "$PROMPT"
  pad plug
  tap a  # takes the name offered
  await_main_window
  await_screen ref/title.bmp 800x600+0+0 300 15
  # Down by the stick and by the D-pad, and A: the options.
  pad "stick y 32767" "stick y 0"
  tap dpdown
  tap a
  # The labels, and the focus frame's left edge beside the first value (the
  # values themselves differ from the reference's).
  await_screen ref/options.bmp 330x340+150+214 100 5
  await_screen ref/options.bmp 3x70+495+209 0 5
  tap dpdown
  tap a
  wait_until 10 0.1 grep -q 'Zielhilfe=0' Data/ini.ini 2>/dev/null ||
    fail "${WHAT}A on the second value did not switch Zielhilfe off"
  tap back
  tap dpup
  tap dpup
  tap start
  await_screen ref/game.bmp 400x150+350+30 150 5
  # Pulled out and plugged in again: the next pad plays on.
  pad unplug plug
  drops=0
  while [ "$drops" -lt 80 ]; do
    tap rightshoulder
    drops=$((drops + 1))
    if [ $((drops % 4)) -eq 0 ] && [ "$(screen_difference ref/highscores.bmp 800x200+0+0)" -le 300 ] 2>/dev/null; then
      break
    fi
  done
  await_screen ref/highscores.bmp 800x200+0+0 300 3
  echo "  game over by pad after $drops drops"
  tap back
  tap dpdown
  tap dpdown
  pad "press a"  # on "quit": the program ends
  exec 3>&-
  await_exit
  echo "  $SENT pad commands taken in"
  exit 0
fi

# --------------------------------------------------------------- outside X ---
BIN=$(readlink -f "${1:?klotzar binary}")
PAD_PRELOAD=$(readlink -f "${2:?pad library}")
SHOTS=$(readlink -f "${3:?klotzar-screenshots binary}")
BUILD=$(readlink -f "${4:?build folder}")
require_x_test_tools "$BUILD" import convert compare xev

WORK=$(mktemp -d /tmp/klotzar-player-XXXXXX)
copy_game_files "$BUILD" "$WORK"
rm -f "$WORK/Data/name.txt"

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$SHOTS" "$WORK/ref" "$NAME" >/dev/null ||
  fail "could not draw the reference frames"

start=$(date +%s)
in_x_screen "${SCREEN_W}x${SCREEN_H}x24" timeout -k 5 "$LIMIT" "$0" --inside "$BIN" "$PAD_PRELOAD" "$WORK"
rc=$?
echo "  runs in the X screen: $(( $(date +%s) - start )) s"
[ $rc -eq 124 ] && fail "no end within $LIMIT s (files kept in $WORK)"
[ $rc -eq 0 ] || fail "files kept in $WORK"
rm -rf "$WORK"
echo "PASS"
