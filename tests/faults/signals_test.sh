#!/usr/bin/env bash
# The real program stopped by signals in the middle of a game, in a virtual X
# screen with a window manager. Each run types the name, plays a game with
# Ctrl to its end (so the list in memory differs from the one on disk),
# starts a second game and then:
#   term  SIGTERM, without any sound device: the game ends as if closed, the
#         new list is written, exit status 0
#   int   SIGINT, with no MIDI bank to be found: the same
#   kill  SIGKILL: the list on disk is still the old one, byte for byte
#   race  SIGTERM and, up to 30 ms later, SIGKILL, somewhere around the
#         save: the list is the old one or the whole new one
#
#   signals_test.sh <klotzar> <klotzar-screenshots> <build folder>
set -u

NAME=Quirin
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

  # One run in folder $BASE/$1 with the environment given after it; leaves
  # the program's exit status in $BASE/$1/status.
  play_until_signal() {
    RUN=$1
    shift
    WORK=$BASE/$RUN
    APP_OUT=$WORK/app.out
    SHOTS=$WORK
    FAILED_SHOT=$BASE/failed-$RUN.png
    WHAT="$RUN: "
    local signal
    case "$RUN" in int) signal=INT ;; kill) signal=KILL ;; *) signal=TERM ;; esac
    (cd "$WORK" && exec env "$@" ./klotzar) >"$WORK/app.out" 2>&1 &
    APP=$!

    enter_name "$NAME" 60
    await_screen "$BASE/ref/title.bmp" 800x600+0+0 300 30

    # The first game, played with Ctrl to its end on a half-filled board.
    xdotool key Return
    await_screen "$BASE/ref/game.bmp" 400x150+350+30 150 30
    drop_to_game_over "$BASE/ref/highscores.bmp" 60

    # The second game: back to the title, up to its first entry, start.
    xdotool key Escape
    sleep 0.3
    xdotool key Up
    sleep 0.2
    xdotool key Return
    await_screen "$BASE/ref/game.bmp" 400x150+350+30 150 30
    xdotool key Control_L
    sleep 0.3

    kill -"$signal" "$APP"
    if [ "$RUN" = race ]; then
      # Anywhere in the first 30 ms of the shutdown; the save lies within it.
      local delay
      delay=$(printf '0.%03d' $((RANDOM % 30)))
      echo "$delay" >"$WORK/delay"
      sleep "$delay"
      kill -KILL "$APP" 2>/dev/null
    fi
    await_end "$APP" >"$WORK/status"
    APP=
  }

  play_until_signal term SDL_AUDIODRIVER=klotzar-no-such-device || exit 1
  play_until_signal int SDL_AUDIODRIVER=dummy SDL_FORCE_SOUNDFONTS=1 SDL_SOUNDFONTS=/nonexistent/klotzar-bank.sf2 || exit 1
  play_until_signal kill SDL_AUDIODRIVER=dummy || exit 1
  play_until_signal race SDL_AUDIODRIVER=dummy || exit 1
  exit 0
fi

# --------------------------------------------------------------- outside X ---
BIN=$(readlink -f "${1:?klotzar binary}")
SHOTS=$(readlink -f "${2:?klotzar-screenshots binary}")
BUILD=$(readlink -f "${3:?build folder}")
require_x_test_tools "$BUILD" xlogo import convert compare

make_base_folder signals
for run in term int kill race; do
  copy_game_files "$BUILD" "$BASE/$run"
  printf '%s' "$OLD_LIST" >"$BASE/$run/Data/Highscore.zip"
  printf '[Optionen]\r\nVorbelegung=9\r\nMusik=1\r\n' >"$BASE/$run/Data/ini.ini"
done
draw_reference_frames "$SHOTS" "$BASE/ref" "$NAME"
run_in_x_screen "${SCREEN_W}x${SCREEN_H}x24" "$LIMIT" "$BIN" "$BASE" || fail_kept "a run failed"

# A list the game wrote: nine "score,name" lines with CR LF, the player among them.
new_list() {
  local file=$1
  [ "$(grep -c $'\r$' "$file")" -eq 9 ] || return 1
  [ "$(grep -vcE $'^-?[0-9]+,[^\r]*\r$' "$file")" -eq 0 ] || return 1
  grep -q ",$NAME"$'\r$' "$file"
}

for run in term int; do
  W=$BASE/$run
  [ "$(cat "$W/status")" -eq 0 ] || problem "$run: exit status $(cat "$W/status"), not 0"
  new_list "$W/Data/Highscore.zip" || problem "$run: the new list was not written whole: $(od -c "$W/Data/Highscore.zip" | head -3)"
  last=$(tail -n 1 "$W/log.txt")
  [ "$last" = $'Audio: Freigabe OK\r' ] || problem "$run: log.txt ends with '$last'"
done
! grep -q "Sound geladen" "$BASE/term/log.txt" || problem "term: sound lines without a sound device"
grep -q "^Audio: Fehler beim Laden der Musikdatei : Fennwold_Neo_Remix.mid" "$BASE/int/log.txt" ||
  problem "int: no report of the missing MIDI bank"
[ "$(cat "$BASE/kill/status")" -eq 137 ] || problem "kill: exit status $(cat "$BASE/kill/status"), not 137"
new_list "$BASE/kill/Data/Highscore.zip" ||
  problem "kill: the finished game is not in the list: $(od -c "$BASE/kill/Data/Highscore.zip" | head -3)"
race_status="$(cat "$BASE/race/status") after a delay of $(cat "$BASE/race/delay") s"
if new_list "$BASE/race/Data/Highscore.zip"; then
  echo "  race: status $race_status, the new list whole"
else
  problem "race: a broken or old list after status $race_status"
fi
end_checks
