# Shared by the scripts that drive the game in a virtual X screen; sourced,
# not run. Each caller keeps its own cleanup trap, which kills $OB.

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
