# Shared by the scripts that drive the game in a virtual X screen; sourced,
# not run. Such a script runs twice: outside, it prepares a work folder and
# starts itself with --inside in an X screen of its own (run_in_x_screen);
# inside, it starts a window manager (begin_x_run) and plays.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Collects a failed check and goes on; end_checks then fails if any did.
FAILED_CHECKS=0
problem() {
  echo "FAIL: $*" >&2
  FAILED_CHECKS=1
}

# ------------------------------------------------------------- outside X ---

# Fails unless every tool named is installed and build folder $1 holds the
# generated game files.
require_x_test_tools() {
  local build=$1
  shift
  require_tools Xvfb xdotool openbox xprop timeout "$@"
  [ -d "$build/Data" ] || fail "no generated Data folder in $build"
}

# Makes the work folder BASE (klotzar-$1-...), removed at exit unless a
# failure keeps it (fail_kept).
make_base_folder() {
  BASE=$(mktemp -d "${TMPDIR:-/tmp}/klotzar-$1-XXXXXX") || fail "cannot make a work folder"
  trap 'rm -rf "$BASE"' EXIT
}

# Fails, keeping BASE for a look.
fail_kept() {
  trap - EXIT
  fail "$* ($BASE kept)"
}

# Draws the frames the game must show, as the build draws them in memory,
# with klotzar-screenshots $1 into folder $2 for player name $3.
draw_reference_frames() {
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$1" "$2" "$3" >/dev/null ||
    fail "could not draw the reference frames"
}

# Runs this script with --inside and the further arguments in an X screen
# of size $1 for at most $2 seconds; says how long it took, fails (keeping
# BASE) when it ran out of time, and returns the inside run's status.
run_in_x_screen() {
  local screen=$1 limit=$2 start rc
  shift 2
  start=$(date +%s)
  in_x_screen "$screen" timeout -k 5 "$limit" "$(readlink -f "$0")" --inside "$@"
  rc=$?
  echo "  runs in the X screen: $(( $(date +%s) - start )) s"
  [ $rc -eq 124 ] && fail_kept "no end within $limit s"
  return $rc
}

# After the checks that call problem: fails (keeping BASE) if one failed,
# else says PASS.
end_checks() {
  [ "$FAILED_CHECKS" -eq 0 ] || fail_kept "see above"
  echo "PASS"
}

# -------------------------------------------------------------- inside X ---

# Starts the window manager (output to $1) with nothing else running yet;
# at exit, whatever still runs is ended (the game with signal $2, default
# TERM).
begin_x_run() {
  APP=
  OB=
  trap "stop_x_clients ${2:-TERM}" EXIT
  start_window_manager "$1"
}

# Runs a command every $2 s (default 0.1) until it succeeds or $1 seconds of
# wall-clock time have passed; false then. Deadlines, not counts: on a busy
# machine every try takes longer, and the limits stay what they say.
wait_until() {
  local limit=$1 pause=${2:-0.1} end
  shift 2
  end=$(( $(date +%s) + limit ))
  until "$@"; do
    [ "$(date +%s)" -ge "$end" ] && return 1
    sleep "$pause"
  done
}

# The window manager manages a window: window $1 is in its client list.
is_managed() {
  xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -qi "$(printf '0x%x' "$1")"
}

# Starts openbox (output to $1) and waits until it manages windows. Its
# properties on the root window come a moment before it is ready, and a
# window mapped in that moment stays unmanaged for good (a full-screen game
# window then stays at its first place): so a probe window is mapped, and
# mapped again, until the manager takes one into its client list. Sets OB.
start_window_manager() {
  # On a busy machine openbox has once failed to open a display that was
  # already there; it is started again until the deadline.
  local wm_end=$(( $(date +%s) + 60 ))
  while :; do
    openbox >>"$1" 2>&1 &
    OB=$!
    wait_until 60 0.1 eval "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || ! kill -0 $OB 2>/dev/null"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill "$OB" 2>/dev/null
    [ "$(date +%s)" -ge "$wm_end" ] && fail "the window manager did not start within 60 s: $(tail -n 1 "$1")"
    sleep 0.5
  done
  local end=$(( $(date +%s) + 60 )) probe id=
  while :; do
    xlogo -name klotzar-wm-probe >/dev/null 2>&1 &
    probe=$!
    if wait_until 5 0.1 eval 'id=$(xdotool search --name "^klotzar-wm-probe$" 2>/dev/null | head -n1); [ -n "$id" ] && is_managed "$id"'; then
      kill "$probe" 2>/dev/null
      wait "$probe" 2>/dev/null
      return 0
    fi
    kill "$probe" 2>/dev/null
    wait "$probe" 2>/dev/null
    [ "$(date +%s)" -ge "$end" ] && break
  done
  fail "the window manager did not manage a window within 60 s ($(kill -0 "$OB" 2>/dev/null && echo running || echo gone))"
}

# Activates window $1 and waits (up to 60 s) until it has the keyboard focus.
focus() {
  local end=$(( $(date +%s) + 60 ))
  while [ "$(date +%s)" -lt "$end" ]; do
    xdotool windowactivate "$1" 2>/dev/null
    for _ in 1 2 3 4 5; do
      [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
      sleep 0.1
    done
  done
  fail "window $1 never got the focus"
}

# Runs a command in a virtual X screen of its own ($1, e.g. 1024x768x24)
# and returns its status; X_SERVER_PID tells the command the server's
# process. The server picks a free display number itself
# (-displayfd): xvfb-run -a picks one by looking for lock files, and two runs
# starting at once (another build's tests too) can pick the same number, so
# that one talks to the other's server, which refuses it.
in_x_screen() {
  local screen=$1 number_file server number status
  shift
  number_file=$(mktemp /tmp/klotzar-display-XXXXXX) || return 1
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  server=$!
  wait_until 60 0.1 eval '[ -s "$number_file" ] || ! kill -0 "$server" 2>/dev/null'
  number=$(tr -dc 0-9 <"$number_file")
  rm -f "$number_file"
  if [ -z "$number" ]; then
    kill "$server" 2>/dev/null
    echo "FAIL: the virtual X server did not start" >&2
    return 1
  fi
  env -u XAUTHORITY DISPLAY=":$number" X_SERVER_PID="$server" "$@"
  status=$?
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  return $status
}

# Fails unless every command named is installed.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}

# Copies the portable game of build folder $1 (the binary, the Data folder,
# the level files, the icon) into folder $2, without settings or high scores.
# The game keeps its files beside its binary, so $2/klotzar plays in $2.
copy_game_files() {
  mkdir -p "$2" && cp -r "$1/Data" "$2/Data" || fail "cannot copy the game files into $2"
  cp "$1/klotzar" "$2/" || fail "cannot copy the game into $2"
  cp "$1"/[1-5].dat "$1"/icon.bmp "$2/" 2>/dev/null
  rm -f "$2/Data/ini.ini" "$2/Data/Highscore.zip"
}

# Ends what a run inside the X screen started and still runs: the game
# ($APP, with signal $1, default TERM), a watcher ($WATCH) and the window
# manager ($OB). For an EXIT trap.
stop_x_clients() {
  [ -n "${APP:-}" ] && kill -"${1:-TERM}" "$APP" 2>/dev/null
  [ -n "${WATCH:-}" ] && kill "$WATCH" 2>/dev/null
  [ -n "${OB:-}" ] && kill "$OB" 2>/dev/null
  return 0
}

# The helpers below watch the game as a player would. They read:
#   APP          the game's process id
#   APP_OUT      the file its output goes to
#   SHOTS        the folder for screenshots (shot.png and the cut-out parts)
#   FAILED_SHOT  where to keep the screenshot a wait gave up on
#   WHAT         a prefix for failure messages, e.g. "term: " (may be empty)

# Fails unless the game still runs.
expect_running() {
  kill -0 "$APP" 2>/dev/null || fail "${WHAT:-}the program ended early: $(cat "$APP_OUT")"
}

# Prints the id of the first visible window whose name matches $1, polling
# for up to $2 s (default 60) every $3 s (default 0.1). With WINDOW_OF_APP
# set, only windows of the process $APP count (two copies share names).
await_window() {
  local id end=$(( $(date +%s) + ${2:-60} )) owner=()
  [ -n "${WINDOW_OF_APP:-}" ] && owner=(--pid "$APP")
  while :; do
    expect_running
    id=$(xdotool search "${owner[@]}" --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ "$(date +%s)" -ge "$end" ] && break
    sleep "${3:-0.1}"
  done
  fail "${WHAT:-}no window named '$1'"
}

# The screen scaled back to 800 x 600: prints how many pixels of region $2
# (WxH+X+Y of the picture) differ from the in-memory frame $1.
screen_difference() {
  import -window root "$SHOTS/shot.png" 2>/dev/null || { echo 999999; return; }
  convert "$SHOTS/shot.png" -filter point -resize 800x600\! -crop "$2" +repage "$SHOTS/shot-part.png"
  convert "$1" -crop "$2" +repage "$SHOTS/ref-part.png"
  compare -metric AE -fuzz 8% "$SHOTS/shot-part.png" "$SHOTS/ref-part.png" null: 2>&1 | cut -d' ' -f1
}

# Waits up to $4 s until region $2 shows frame $1 within $3 pixels.
await_screen() {
  local last= end=$(( $(date +%s) + $4 ))
  while :; do
    last=$(screen_difference "$1" "$2")
    if [ "${last%.*}" -le "$3" ] 2>/dev/null; then
      echo "  ${WHAT:-}$(basename "$1") $2: $last pixels differ"
      return 0
    fi
    expect_running
    [ "$(date +%s)" -ge "$end" ] && break
    sleep 0.25
  done
  cp "$SHOTS/shot.png" "$FAILED_SHOT" 2>/dev/null
  fail "${WHAT:-}$(basename "$1") $2 never showed ($last pixels differ; $FAILED_SHOT)"
}

# Types name $1 into the name prompt of the game $APP (every $2 ms, default
# 80) and confirms it; sets MAIN to the main window when it shows (waiting
# up to $3 s, default 60) and gives it the focus.
enter_name() {
  local prompt
  prompt=$(await_window 'Highscoreliste') || exit 1
  focus "$prompt"
  sleep 0.3
  xdotool type --delay "${2:-80}" "$1"
  sleep 0.2
  xdotool key Return
  MAIN=$(await_window '^Klotzar$' "${3:-60}") || exit 1
  focus "$MAIN"
}

# Waits up to $2 s (default 30) until process $1 has ended; fails if it has
# not, else prints its exit status.
await_end() {
  local pid=$1
  wait_until "${2:-30}" 0.1 eval '! kill -0 "$pid" 2>/dev/null' ||
    fail "${WHAT:-}still running ${2:-30} s after it should have ended"
  { wait "$pid"; } 2>/dev/null
  echo $?
}

# Esc on the high-score screen, Esc on the title: fails unless the game
# $APP then ends, with status 0, within 30 s.
quit_from_highscores() {
  local status
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  wait_until 30 0.1 eval '! kill -0 "$APP" 2>/dev/null' || fail "${WHAT:-}the program did not end after Esc Esc"
  wait "$APP"
  status=$?
  APP=
  [ $status -eq 0 ] || fail "${WHAT:-}exit status $status: $(cat "$APP_OUT")"
}

# Drops pieces with Ctrl, at most $2 of them, until the high-score screen
# (frame $1) shows; sets DROPS to the number of drops.
drop_to_game_over() {
  DROPS=0
  while [ "$DROPS" -lt "$2" ]; do
    xdotool key Control_L
    sleep 0.1
    DROPS=$((DROPS + 1))
    if [ $((DROPS % 4)) -eq 0 ] && [ "$(screen_difference "$1" 800x200+0+0)" -le 300 ] 2>/dev/null; then
      return 0
    fi
  done
  # The last drops may still be queued on a busy machine.
  await_screen "$1" 800x200+0+0 300 30
}
