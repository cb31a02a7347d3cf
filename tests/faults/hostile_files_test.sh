#!/usr/bin/env bash
# The real program in a virtual X screen with special and endless files in the
# place of the files it reads: a FIFO, /dev/zero, a folder and a 1 GB sparse
# file. Every run must start, reach its title screen, end on SIGTERM (or,
# with FIFOs, the window's close) with status 0, and stay small (peak
# resident memory under $MOST_KB kB).
#   data-<kind>  every picture, sound, the tune, the list, the icon and the
#                level files replaced; the log must report each picture,
#                sound and the tune as not loaded, a race (modus 3) is
#                started so a level file is read, and the list is left as it
#                was put there
#   log-<kind>   log.txt and the settings file replaced; the title screen
#                must show; the icon is 2048 x 2048 in one run and claims
#                20000 x 20000 in its header in another
#   log-link     log.txt a link to another file: that file stays untouched
#   log-reader   log.txt a FIFO whose reader leaves after a few bytes
#
#   hostile_files_test.sh <klotzar> <klotzar-screenshots> <build folder>
set -u

NAME=Quirin
SCREEN_W=1024
SCREEN_H=768
LIMIT=400     # seconds for all runs in the X screen
MOST_KB=204800
KINDS="fifo zero folder sparse"

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

# Puts a thing of kind $1 at path $2.
replace_with() {
  rm -rf "$2"
  case "$1" in
    fifo) mkfifo "$2" ;;
    zero) ln -s /dev/zero "$2" ;;
    folder) mkdir "$2" && echo keep >"$2/keep.txt" ;;
    sparse) truncate -s 1G "$2" ;;
  esac
}

# ---------------------------------------------------------------- inside X ---
if [ "${1:-}" = "--inside" ]; then
  BIN=$2
  BASE=$3
  begin_x_run "$BASE/openbox.out" KILL

  # The game's peak resident memory (VmHWM) as far as it is known: $1, or
  # what the game reports now if that is more (nothing once it has ended).
  peak_kb() {
    local now
    now=$(awk '/^VmHWM:/ { print $2 }' "/proc/$APP/status" 2>/dev/null)
    [ "${now:-0}" -gt "$1" ] 2>/dev/null && echo "$now" || echo "$1"
  }

  # Starts the game in $BASE/$1 and types the name; leaves the main window
  # in MAIN.
  start_run() {
    RUN=$1
    WORK=$BASE/$RUN
    APP_OUT=$WORK/app.out
    SHOTS=$WORK
    FAILED_SHOT=$BASE/failed-$RUN.png
    WHAT="$RUN: "
    RUN_START=$(date +%s)
    (cd "$WORK" && exec env SDL_AUDIODRIVER=dummy ./klotzar) >"$WORK/app.out" 2>&1 &
    APP=$!
    enter_name "$NAME" 60 300
  }

  # Ends the game with SIGTERM, or with the window manager's close (Alt+F4,
  # as the close button) when $1 is "close", and waits up to 20 s for the
  # end; records the status and the peak memory in the run's folder.
  end_run() {
    local peak how=SIGTERM
    peak=$(peak_kb 0)
    if [ "${1:-}" = close ]; then
      how="the close"
      focus "$MAIN"
      xdotool key alt+F4
    else
      kill -TERM "$APP"
    fi
    for _ in $(seq 200); do
      kill -0 "$APP" 2>/dev/null || break
      peak=$(peak_kb "$peak")
      sleep 0.1
    done
    kill -0 "$APP" 2>/dev/null && fail "$RUN: still running 20 s after $how"
    { wait "$APP"; } 2>/dev/null
    echo $? >"$WORK/status"
    echo "$peak" >"$WORK/peak"
    echo "  $RUN: $(( $(date +%s) - RUN_START )) s"
    APP=
  }

  # Waits up to $1 s until log.txt holds line $2 (without its line end).
  await_log_line() {
    for _ in $(seq $(( $1 * 10 ))); do
      grep -qF "$2"$'\r' "$WORK/log.txt" 2>/dev/null && return 0
      expect_running
      sleep 0.1
    done
    fail "$RUN: no line '$2' in log.txt within $1 s"
  }

  # The top strip of the screen, scaled back to 800 x 600, into file $1.
  top_strip() {
    import -window root "$SHOTS/shot.png" 2>/dev/null &&
      convert "$SHOTS/shot.png" -filter point -resize 800x600\! -crop 800x40+0+0 +repage "$1"
  }

  for kind in $KINDS; do
    start_run "data-$kind"
    # The tune is the last file loaded before the main loop.
    await_log_line 60 "Audio: Fehler beim Laden der Musikdatei : Fennwold_Neo_Remix.mid"
    focus "$MAIN"
    # A race starts with Enter and reads its first level file; its status
    # line then appears in the top strip.
    top_strip "$WORK/before.png" || fail "$RUN: no screenshot"
    xdotool key Return
    changed=
    for _ in $(seq 120); do
      expect_running
      top_strip "$WORK/after.png"
      diff=$(compare -metric AE -fuzz 8% "$WORK/before.png" "$WORK/after.png" null: 2>&1 | cut -d' ' -f1)
      [ "${diff%.*}" -gt 20 ] 2>/dev/null && { changed=1; break; }
      sleep 0.25
    done
    [ -n "$changed" ] || fail "$RUN: the race never showed its status line"
    if [ "$kind" = fifo ]; then end_run close; else end_run; fi
  done

  for kind in $KINDS; do
    start_run "log-$kind"
    await_screen "$BASE/ref/title.bmp" 800x600+0+0 300 60
    if [ "$kind" = fifo ]; then end_run close; else end_run; fi
  done

  start_run log-link
  await_screen "$BASE/ref/title.bmp" 800x600+0+0 300 60
  end_run

  # The reader takes the first bytes and leaves; every later line goes to a
  # FIFO nobody reads. A writer that writes nothing keeps the FIFO from
  # reaching its end when the game's first writer closes it.
  WORK=$BASE/log-reader
  head -c 10 "$WORK/log.txt" >"$WORK/reader.out" &
  READER=$!
  sleep 600 >"$WORK/log.txt" &
  HOLDER=$!
  start_run log-reader
  await_screen "$BASE/ref/title.bmp" 800x600+0+0 300 60
  wait "$READER"
  # Lines written after the reader left.
  focus "$MAIN"
  xdotool key Down
  sleep 0.2
  xdotool key Up
  end_run
  kill "$HOLDER"
  exit 0
fi

# --------------------------------------------------------------- outside X ---
BIN=$(readlink -f "${1:?klotzar binary}")
SHOTS=$(readlink -f "${2:?klotzar-screenshots binary}")
BUILD=$(readlink -f "${3:?build folder}")
require_x_test_tools "$BUILD" import convert compare mkfifo truncate

make_base_folder special
PICTURES=$(cd "$BUILD/Data" && ls -- *.bmp)
SOUNDS="drehen.wav down.wav klatsch.wav"
TUNE=Fennwold_Neo_Remix.mid

for kind in $KINDS; do
  W=$BASE/data-$kind
  copy_game_files "$BUILD" "$W"
  printf '[Optionen]\r\nMusik=1\r\nmodus=3\r\n' >"$W/Data/ini.ini"
  for file in $PICTURES $SOUNDS $TUNE Highscore.zip; do replace_with "$kind" "$W/Data/$file"; done
  for file in icon.bmp 1.dat 2.dat 3.dat 4.dat 5.dat; do replace_with "$kind" "$W/$file"; done

  W=$BASE/log-$kind
  copy_game_files "$BUILD" "$W"
  replace_with "$kind" "$W/Data/ini.ini"
  replace_with "$kind" "$W/log.txt"
done
# Icons no window system takes as they are: far too large, and a header
# claiming 20000 x 20000 over a few bytes of picture.
convert -size 2048x2048 xc:'#3060c0' BMP3:"$BASE/log-fifo/icon.bmp" || fail "cannot make the large icon"
printf '\x20\x4e\x00\x00\x20\x4e\x00\x00' | dd of="$BASE/log-zero/icon.bmp" bs=1 seek=18 conv=notrunc status=none

copy_game_files "$BUILD" "$BASE/log-link"
printf 'not the log\n' >"$BASE/victim.txt"
ln -s "$BASE/victim.txt" "$BASE/log-link/log.txt"

copy_game_files "$BUILD" "$BASE/log-reader"
mkfifo "$BASE/log-reader/log.txt"

draw_reference_frames "$SHOTS" "$BASE/ref" "$NAME"
run_in_x_screen "${SCREEN_W}x${SCREEN_H}x24" "$LIMIT" "$BIN" "$BASE" || fail_kept "a run failed"

# Status 0 and a small peak for every run.
for W in "$BASE"/data-* "$BASE"/log-*; do
  run=$(basename "$W")
  [ "$(cat "$W/status")" -eq 0 ] || problem "$run: exit status $(cat "$W/status"), not 0: $(cat "$W/app.out")"
  peak=$(cat "$W/peak")
  echo "  $run: peak resident memory $peak kB"
  [ "$peak" -gt 0 ] && [ "$peak" -lt "$MOST_KB" ] || problem "$run: peak resident memory $peak kB"
done

# What is not there to be read is reported as missing, exactly as for a
# missing file, and the list put in its place is left as it was.
for kind in $KINDS; do
  W=$BASE/data-$kind
  log=$W/log.txt
  for file in $PICTURES; do
    grep -qF "DDraw: Datei nicht gefunden : Data\\$file"$'\r' "$log" || problem "data-$kind: no failure line for $file"
  done
  for file in $SOUNDS; do
    grep -qF "Audio: Fehler beim Laden der Sounddatei : $file"$'\r' "$log" || problem "data-$kind: no failure line for $file"
  done
  ! grep -q "geladen OK" "$log" || problem "data-$kind: a file was loaded: $(grep 'geladen OK' "$log" | head -1)"
  [ "$(tail -n 1 "$log")" = $'Audio: Freigabe OK\r' ] || problem "data-$kind: log.txt ends with '$(tail -n 1 "$log")'"
  list=$W/Data/Highscore.zip
  case $kind in
    fifo) [ -p "$list" ] || problem "data-fifo: the FIFO list was replaced" ;;
    zero) [ -L "$list" ] || problem "data-zero: the linked list was replaced" ;;
    folder) [ "$(cat "$list/keep.txt")" = keep ] || problem "data-folder: the folder in the list's place changed" ;;
    sparse) [ "$(stat -c %s "$list")" -eq 1073741824 ] && [ "$(du -k "$list" | cut -f1)" -lt 1024 ] ||
              problem "data-sparse: the sparse list was replaced or filled" ;;
  esac
done
# The settings in place of a file the game cannot read stay as they were.
[ -p "$BASE/log-fifo/Data/ini.ini" ] || problem "log-fifo: the FIFO settings file was replaced"
[ "$(du -k "$BASE/log-sparse/Data/ini.ini" | cut -f1)" -lt 1024 ] || problem "log-sparse: the sparse settings file was filled"
[ "$(cat "$BASE/victim.txt")" = "not the log" ] || problem "log-link: the file behind the link was written: $(head -c 200 "$BASE/victim.txt")"
[ -L "$BASE/log-link/log.txt" ] || problem "log-link: the link was replaced"
grep -q '"log.txt" is not written' "$BASE/log-link/app.out" || problem "log-link: no word on standard error about the log"
[ "$(grep -c '"log.txt" is not written' "$BASE/log-link/app.out")" -eq 1 ] || problem "log-link: the reason was given more than once"
[ "$(head -c 4 "$BASE/log-reader/reader.out")" = "DDra" ] || problem "log-reader: the reader got '$(cat "$BASE/log-reader/reader.out")'"
end_checks
