# Shared by the scripts that drive the game in a virtual X screen; sourced,
# not run.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts openbox (output to $1) and waits until it manages windows; sets OB.
start_window_manager() {
  openbox >"$1" 2>&1 &
  OB=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  sleep 0.5  # the check window comes a moment before the manager is ready
}

# Activates window $1 and waits until it has the keyboard focus.
focus() {
  xdotool windowactivate "$1" 2>/dev/null
  for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "window $1 never got the focus"
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
# up to $2 times (default 150) every $3 s (default 0.1).
await_window() {
  local id
  for _ in $(seq "${2:-150}"); do
    expect_running
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
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
  local last=
  for _ in $(seq $(( $4 * 4 ))); do
    last=$(screen_difference "$1" "$2")
    if [ "${last%.*}" -le "$3" ] 2>/dev/null; then
      echo "  ${WHAT:-}$(basename "$1") $2: $last pixels differ"
      return 0
    fi
    expect_running
    sleep 0.25
  done
  cp "$SHOTS/shot.png" "$FAILED_SHOT" 2>/dev/null
  fail "${WHAT:-}$(basename "$1") $2 never showed ($last pixels differ; $FAILED_SHOT)"
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
  await_screen "$1" 800x200+0+0 300 3
}
