#!/usr/bin/env bash
# Every stored game through `klotzar --replay FILE` in a real window: a
# virtual X screen with a window manager; Right pressed four times plays the
# game at 16 times its pace. Each must play to its end and exit 0; a game
# whose end was altered must exit 1 and say which field differs; the
# high-score file stays as it was.
#
#   window_replay_test.sh <klotzar> <build folder> <folder of *.replay>
set -u

LIMIT=240  # seconds for all games in the X screen

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

# Plays replay $1 and prints the exit status; the output goes to $1.out.
watch_replay() {
  local out=$1.out status
  ./klotzar --replay "$1" >"$out" 2>&1 &
  APP=$!
  APP_OUT=$out
  local main
  main=$(await_window '^Klotzar$' 300) || return 1
  focus "$main" >/dev/null
  for _ in 1 2 3 4; do xdotool key Right; sleep 0.05; done
  wait "$APP"
  status=$?
  APP=
  echo "$status"
}

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  BIN=$2
  WORK=$3
  cd "$WORK" || fail "no work folder"
  begin_x_run openbox.out
  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER

  for game in games/*.replay; do
    began=$(date +%s.%N)
    status=$(watch_replay "$game") || exit 1
    took=$(awk -v a="$began" -v b="$(date +%s.%N)" 'BEGIN{printf "%.1f", b - a}')
    echo "  $(basename "$game"): exit $status in $took s: $(tail -n 1 "$game.out")"
    [ "$status" = 0 ] || fail "$(basename "$game") did not replay: $(cat "$game.out")"
    grep -q "ended as recorded" "$game.out" || fail "$(basename "$game") ended early: $(cat "$game.out")"
  done

  status=$(watch_replay altered.replay) || exit 1
  echo "  altered.replay: exit $status: $(tail -n 1 altered.replay.out)"
  [ "$status" = 1 ] || fail "a replay with an altered end exited $status"
  grep -q "points [0-9-]* instead of" altered.replay.out || fail "the altered field is not named: $(cat altered.replay.out)"
  exit 0
fi

BIN=$(readlink -f "${1:?klotzar binary}")
BUILD=$(readlink -f "${2:?build folder}")
GAMES=$(readlink -f "${3:?folder of replays}")
require_x_test_tools "$BUILD"

make_base_folder replays
copy_game_files "$BUILD" "$BASE"
mkdir -p "$BASE/games" && cp "$GAMES"/*.replay "$BASE/games/" || fail "no stored games in $GAMES"
# The shortest game with its points made one more than they were.
awk '/^points /{print "points " $2 + 1; next} {print}' "$GAMES/window-closed.replay" >"$BASE/altered.replay"
printf '5000,Meister\r\n' >"$BASE/Data/Highscore.zip"
cp "$BASE/Data/Highscore.zip" "$BASE/list-before"

run_in_x_screen 800x600x24 "$LIMIT" "$BIN" "$BASE" || fail_kept "the run failed"
cmp -s "$BASE/Data/Highscore.zip" "$BASE/list-before" || problem "watching replays changed the high-score file"
[ -e "$BASE/Replays/last.txt" ] && problem "a watched replay was recorded as a game"
end_checks
