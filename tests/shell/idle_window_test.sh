#!/usr/bin/env bash
# The real program in a real window sleeps while nothing moves: on the
# title screen, in a paused game and on the high-score screen none of its
# threads, the sound's included, is woken at all for 10 s (at most once, for
# whatever the X server may send on its own).
#
#   idle_window_test.sh <klotzar> <build folder>
set -u

SPAN=10     # seconds watched per screen
ALLOWED=1   # wake-ups of the program allowed per span
LIMIT=240   # seconds for the whole run in the X screen, generous for a loaded machine

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  WORK=$2
  cd "$WORK" || fail "no work folder"
  # No window manager: openbox pings its windows every 3 s, which would
  # count here. On an 800 x 600 screen the game's window maps one to one.
  APP=
  trap 'stop_x_clients TERM' EXIT

  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER
  ./klotzar >app.out 2>&1 &
  APP=$!
  APP_OUT=$WORK/app.out
  WHAT=

  # Times any thread of the program was put to sleep or taken off the
  # processor: each wake-up counts once.
  switches() {
    cat /proc/"$APP"/task/*/status 2>/dev/null |
      awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { n += $2 } END { print n + 0 }'
  }
  # Waits until the program has settled (no switch for 2 s, up to 30 s: a
  # sound started by the last key plays to its end first),
  # then counts its wake-ups over SPAN seconds.
  settled() {
    local before after
    before=$(switches)
    sleep 2
    after=$(switches)
    [ "$before" = "$after" ]
  }
  watch_screen() {
    expect_running
    wait_until 30 0 settled || true
    local before after
    before=$(switches)
    sleep "$SPAN"
    after=$(switches)
    expect_running
    echo "  $1: $((after - before)) wake-ups in $SPAN s"
    [ $((after - before)) -le "$ALLOWED" ] || problem "$1: the program woke $((after - before)) times in $SPAN s"
  }

  # Without a window manager the focus is given directly.
  has_focus() {
    xdotool windowfocus "$FOCUS" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$FOCUS" ]
  }
  give_focus() {
    FOCUS=$1
    wait_until 30 0.2 has_focus || fail "window $1 never got the focus"
  }
  PROMPT=$(await_window 'Highscoreliste') || exit 1
  give_focus "$PROMPT"
  sleep 0.3
  xdotool type --delay 50 Ruhig
  xdotool key Return
  MAIN=$(await_window '^Klotzar$') || exit 1
  give_focus "$MAIN"
  watch_screen title

  xdotool key Return p   # a game, paused at once
  watch_screen "paused game"

  xdotool key Escape   # abandons the game: the high-score screen
  watch_screen "high-score screen"

  quit_from_highscores
  [ "$FAILED_CHECKS" -eq 0 ] || exit 1
  exit 0
fi

# --------------------------------------------------------------- outside X ---
BIN=$(readlink -f "${1:?klotzar binary}")
BUILD=$(readlink -f "${2:?build folder}")
require_x_test_tools "$BUILD"

make_base_folder idle
copy_game_files "$BUILD" "$BASE"
run_in_x_screen 800x600x24 "$LIMIT" "$BASE" || fail_kept "the run failed"
end_checks
