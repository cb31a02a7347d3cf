#!/usr/bin/env bash
# The real program in a virtual X screen with a window manager: no finished
# game is lost, and every launch deals a new game.
#   both     two copies in one folder, the second started while the first
#            shows its high scores; each finishes a game, the second quits
#            first: both rows are in the list
#   killed   the window killed by the X server (xdotool windowkill) after a
#            finished game: the row is in the list
#   xgone    the X server ended after a finished game: the row is in the list
# Both lost displays end the game in order: a line on standard error, the log
# closed by its last line, exit status 1.
# The bottom of the board (nine pre-filled rows) is photographed at the start
# of each of the four first games; no two may be alike.
#
#   scores_test.sh <klotzar> <klotzar-screenshots> <build folder>
set -u

NAME=Xaver
SCREEN_W=1024
SCREEN_H=768
LIMIT=400  # seconds for all runs in the X screen, generous for a loaded machine

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

OLD_LIST=$'9,Anna\r\n8,Bert\r\n7,Carl\r\n6,Dora\r\n5,Emil\r\n4,Fritz\r\n3,Gina\r\n2,Hans\r\n1,Ida\r\n'

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  BIN=$2
  BASE=$3
  begin_x_run "$BASE/openbox.out" KILL
  trap 'stop_x_clients KILL; [ -n "${FIRST:-}" ] && kill -KILL "$FIRST" 2>/dev/null; true' EXIT
  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER
  FAILED_SHOT=$BASE/failed-shot.png
  WINDOW_OF_APP=1

  # Starts a copy in folder $BASE/$1, types the name, starts a game, keeps
  # the bottom of its first board as $BASE/board-$2.png and plays it to its
  # end. Sets APP and MAIN.
  play_a_game() {
    local folder=$BASE/$1
    APP_OUT=$BASE/$2.out
    SHOTS=$BASE
    WHAT="$2: "
    (cd "$folder" && exec ./klotzar) >"$APP_OUT" 2>&1 &
    APP=$!
    enter_name "$NAME"
    await_screen "$BASE/ref/title.bmp" 800x600+0+0 300 30
    xdotool key Return
    await_screen "$BASE/ref/game.bmp" 400x150+350+30 150 30
    # Rows 11 to 19 of the board, far below the first falling piece.
    import -window root "$BASE/shot.png" 2>/dev/null || fail "$2: no screenshot"
    convert "$BASE/shot.png" -filter point -resize 800x600\! -crop 250x225+50+325 +repage "$BASE/board-$2.png"
    drop_to_game_over "$BASE/ref/highscores.bmp" 60
  }

  # Esc from the high scores to the title, up to its first entry, Esc to quit.
  quit_copy() {
    focus "$MAIN"
    xdotool key Escape
    sleep 0.2
    xdotool key Up
    await_screen "$BASE/ref/title.bmp" 800x600+0+0 300 30
    xdotool key Escape
    await_end "$APP" >"$BASE/$1.status"
  }

  play_a_game both first
  FIRST=$APP
  FIRST_MAIN=$MAIN
  # Out of the way, as a player would put it, so the second copy is seen.
  xdotool windowminimize "$MAIN"
  wait_until 30 0.1 eval '[ -z "$(xdotool search --onlyvisible --pid "$FIRST" --name "^Klotzar$" 2>/dev/null)" ]' ||
    fail "the first copy's window was not minimised"
  play_a_game both second
  quit_copy second
  APP=$FIRST
  MAIN=$FIRST_MAIN
  WHAT="first: "
  quit_copy first
  FIRST=

  play_a_game killed killed
  xdotool windowkill "$MAIN"
  await_end "$APP" >"$BASE/killed.status"

  play_a_game xgone xgone
  [ -n "${X_SERVER_PID:-}" ] || fail "no X server process named for $DISPLAY"
  kill "$X_SERVER_PID"
  await_end "$APP" >"$BASE/xgone.status"
  APP=
  OB=
  # The runs reached their end (the server is gone, nothing else can say so).
  touch "$BASE/runs-done"
  exit 0
fi

# --------------------------------------------------------------- outside X ---
BIN=$(readlink -f "${1:?klotzar binary}")
SHOTS=$(readlink -f "${2:?klotzar-screenshots binary}")
BUILD=$(readlink -f "${3:?build folder}")
require_x_test_tools "$BUILD" xlogo import convert compare

make_base_folder scores
for run in both killed xgone; do
  copy_game_files "$BUILD" "$BASE/$run"
  printf '%s' "$OLD_LIST" >"$BASE/$run/Data/Highscore.zip"
  printf '[Optionen]\r\nVorbelegung=9\r\n' >"$BASE/$run/Data/ini.ini"
done
draw_reference_frames "$SHOTS" "$BASE/ref" "$NAME"
# The inside run ends the X server itself, so its status says nothing: the
# file it leaves at its end does.
run_in_x_screen "${SCREEN_W}x${SCREEN_H}x24" "$LIMIT" "$BIN" "$BASE"
[ -f "$BASE/runs-done" ] || fail_kept "a run failed"

# Rows of the player in a whole list the game wrote.
rows_of_player() {
  [ "$(grep -c $'\r$' "$1")" -eq 9 ] || { echo "not nine lines"; return; }
  grep -c ",$NAME"$'\r$' "$1"
}

for copy in first second; do
  [ "$(cat "$BASE/$copy.status")" -eq 0 ] || problem "$copy: exit status $(cat "$BASE/$copy.status"): $(cat "$BASE/$copy.out")"
done
rows=$(rows_of_player "$BASE/both/Data/Highscore.zip")
[ "$rows" = 2 ] || problem "both: $rows rows for $NAME, not 2: $(tr '\r\n' ' |' <"$BASE/both/Data/Highscore.zip")"
for run in killed xgone; do
  echo "  $run: exit status $(cat "$BASE/$run.status"), stderr: $(head -c 300 "$BASE/$run.out" | tr '\n' ' ')"
  [ "$(cat "$BASE/$run.status")" -eq 1 ] || problem "$run: exit status $(cat "$BASE/$run.status"), not 1"
  grep -q "connection to the display was lost" "$BASE/$run.out" ||
    problem "$run: nothing on standard error says the display was lost"
  grep -q "Verbindung zum Bildschirm verloren" "$BASE/$run/log.txt" 2>/dev/null ||
    problem "$run: the log does not say the display was lost"
  [ "$(tail -n 1 "$BASE/$run/log.txt" 2>/dev/null | tr -d '\r')" = "Audio: Freigabe OK" ] ||
    problem "$run: the log does not end with the sound's release: $(tail -n 2 "$BASE/$run/log.txt" 2>/dev/null | tr '\r\n' '  ')"
  rows=$(rows_of_player "$BASE/$run/Data/Highscore.zip")
  [ "$rows" = 1 ] || problem "$run: $rows rows for $NAME, not 1: $(tr '\r\n' ' |' <"$BASE/$run/Data/Highscore.zip")"
done

boards=(first second killed xgone)
for ((i = 0; i < ${#boards[@]}; i++)); do
  for ((j = i + 1; j < ${#boards[@]}; j++)); do
    a=${boards[$i]}
    b=${boards[$j]}
    differ=$(compare -metric AE "$BASE/board-$a.png" "$BASE/board-$b.png" null: 2>&1 | cut -d' ' -f1)
    # A single cell is 25 x 25 pixels; two boards dealt alike differ in none.
    [ "${differ%.*}" -gt 600 ] 2>/dev/null || problem "the first boards of $a and $b are alike ($differ pixels differ)"
  done
done
end_checks
