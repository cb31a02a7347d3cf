#!/usr/bin/env bash
# The real program in a real window: a virtual 1024 x 768 X screen with a
# window manager, keys typed with xdotool, screens compared with frames the
# same build draws in memory (klotzar-screenshots).
#
#   window_test.sh <klotzar> <klotzar-screenshots> <build folder>
#
# Exits 0 when a whole run - name prompt, title, a game played with Ctrl to its
# end, the high scores, Esc Esc - behaved; prints what differed otherwise.
set -u

NAME=Xaver
SCREEN_W=1024
SCREEN_H=768
LIMIT=240  # seconds for the whole run in the X screen, generous for a loaded machine

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  WORK=$2
  cd "$WORK" || fail "no work folder"
  begin_x_run openbox.out

  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER
  ./klotzar >app.out 2>&1 &
  APP=$!

  # What the shared waits watch (tests/support/x-session.sh).
  APP_OUT=$WORK/app.out
  SHOTS=$WORK
  FAILED_SHOT=$WORK/failed-shot.png
  WHAT=

  # Picture pixel ($2, $3) on the screen (the centre of its square) must have
  # the colour it has in frame $1.
  expect_pixel() {
    local x=$(( ($2 * SCREEN_W + SCREEN_W / 2) / 800 ))
    local y=$(( ($3 * SCREEN_H + SCREEN_H / 2) / 600 ))
    local seen want
    seen=$(convert shot.png -format "%[pixel:p{$x,$y}]" info:)
    want=$(convert "$1" -format "%[pixel:p{$2,$3}]" info:)
    [ "$seen" = "$want" ] || fail "picture pixel ($2, $3) at screen ($x, $y) is $seen, not $want"
  }

  enter_name "$NAME"
  # Full screen: the window manager gives the window the whole screen. Under
  # load that has taken more than 5 s.
  covers_screen() {
    geometry=$(xdotool getwindowgeometry "$MAIN" | tr '\n' ' ')
    case "$geometry" in *"Position: 0,0 "*"Geometry: ${SCREEN_W}x${SCREEN_H}"*) return 0 ;; esac
    return 1
  }
  wait_until 60 0.1 covers_screen
  echo "  main window: $geometry"
  case "$geometry" in *"Geometry: ${SCREEN_W}x${SCREEN_H}"*) ;; *) fail "the main window does not cover the screen" ;; esac
  focus "$MAIN"

  # Title, with the typed name, exactly as drawn in memory.
  await_screen ref/title.bmp 800x600+0+0 300 30
  # The markers' middles beside the four entries, and the logo's.
  for y in 370 406 442 478; do
    expect_pixel ref/title.bmp 295 $y
    expect_pixel ref/title.bmp 505 $y
  done
  expect_pixel ref/title.bmp 400 200

  # The mouse, mapped through the scaled picture: a click on "Highscores"
  # (picture 400, 405), a right click back, then the pointer over the first
  # entry moves the markers there again.
  xdotool mousemove 512 518 mousedown 1
  sleep 0.15
  xdotool mouseup 1
  await_screen ref/highscores.bmp 800x200+0+0 300 30
  xdotool mousedown 3
  sleep 0.15
  xdotool mouseup 3
  xdotool mousemove 512 471
  await_screen ref/title.bmp 800x600+0+0 300 30

  # A game: the small logo is on the game screen.
  xdotool key Return
  await_screen ref/game.bmp 400x150+350+30 150 30

  # Ctrl drops each piece to the bottom until the stack reaches the top.
  drop_to_game_over ref/highscores.bmp 80
  echo "  game over after $DROPS drops"

  quit_from_highscores
  exit 0
fi

# --------------------------------------------------------------- outside X ---
BIN=$(readlink -f "${1:?klotzar binary}")
SHOTS=$(readlink -f "${2:?klotzar-screenshots binary}")
BUILD=$(readlink -f "${3:?build folder}")
require_x_test_tools "$BUILD" xlogo import convert compare

make_base_folder window
copy_game_files "$BUILD" "$BASE"
draw_reference_frames "$SHOTS" "$BASE/ref" "$NAME"
run_in_x_screen "${SCREEN_W}x${SCREEN_H}x24" "$LIMIT" "$BASE" || fail_kept "the run failed"

# What the run left on disk.
last=$(tail -n 1 "$BASE/log.txt")
[ "$last" = $'Audio: Freigabe OK\r' ] || problem "log.txt ends with '$last'"
lines=$(grep -c $'\r$' "$BASE/Data/Highscore.zip")
[ "$lines" -eq 9 ] || problem "Highscore.zip has $lines lines"
grep -q ",$NAME"$'\r$' "$BASE/Data/Highscore.zip" || problem "no row for $NAME in Highscore.zip"
end_checks
