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

# Copies the game files of build folder $1 (the Data folder, the level files,
# the icon) into folder $2, without settings or high scores.
copy_game_files() {
  mkdir -p "$2" && cp -r "$1/Data" "$2/Data" || fail "cannot copy the game files into $2"
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
