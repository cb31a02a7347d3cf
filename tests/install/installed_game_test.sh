#!/usr/bin/env bash
# The installed game played as a player would: installed to a scratch prefix
# (or unpacked from the Debian package), made read-only, started from an
# empty working folder with HOME and the XDG variables in a scratch folder.
# The same moves are played with the portable game beside it; the settings
# file, the log and the high-score file must come out byte for byte alike, in
# the player's XDG folders, and nothing may be written anywhere else.
#
#   installed_game_test.sh prefix|deb <build folder> <klotzar-screenshots>
#
# deb makes the package as `make deb` does (in a scratch build folder) and
# runs lintian on it.
set -u

NAME=Xaver
LIMIT=240  # seconds for both runs in the X screen

. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

# ---------------------------------------------------------------- inside X ---
# One run: $2 the binary, $3 the working folder, then VAR=value pairs.
if [ "${1:-}" = "--inside" ]; then
  BIN=$2
  CWD=$3
  shift 3
  begin_x_run "$CWD/../openbox.out"

  APP_OUT=$CWD/../app.out
  SHOTS=$CWD/..
  FAILED_SHOT=$CWD/../failed-shot.png
  WHAT="$(basename "$(dirname "$CWD")"): "
  REF=$CWD/../../ref
  # A read-only view of the installed files where the system allows it (root
  # ignores file modes); the file listing afterwards checks writes anyway.
  wrap=()
  if [ -n "${READ_ONLY_ROOT:-}" ] && unshare -m true 2>/dev/null; then
    wrap=(unshare -m sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" "$1" && shift && exec "$@"' sh "$READ_ONLY_ROOT")
  fi
  (cd "$CWD" && exec env SDL_AUDIODRIVER=dummy "$@" "${wrap[@]}" "$BIN") >"$APP_OUT" 2>&1 &
  APP=$!

  enter_name "$NAME"
  xdotool mousemove 400 368
  # The title with its pictures, as the build draws it in memory.
  await_screen "$REF/title.bmp" 800x600+0+0 300 30

  # Options: the first value box (Vorbelegung 0 -> 1) and the Spielmodus box,
  # which switches only because the shipped settings start with modus 1.
  # A click as a hand makes it: the pointer there first, the button held a moment.
  click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.15
    xdotool mouseup 1
    sleep 0.2
  }
  click_at 400 440
  await_screen "$REF/options.bmp" 800x200+0+0 300 10
  click_at 525 240
  click_at 525 450
  xdotool key Escape
  await_screen "$REF/title.bmp" 800x200+0+0 300 10
  xdotool key Up
  sleep 0.1
  xdotool key Up
  sleep 0.1
  xdotool key Return
  await_screen "$REF/game.bmp" 400x150+350+30 150 10
  drop_to_game_over "$REF/highscores.bmp" 100
  echo "  ${WHAT}game over after $DROPS drops"

  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  for _ in $(seq 100); do
    kill -0 "$APP" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$APP" 2>/dev/null && fail "${WHAT}the program did not end after Esc Esc"
  wait "$APP"
  status=$?
  APP=
  [ $status -eq 0 ] || fail "${WHAT}exit status $status: $(cat "$APP_OUT")"
  exit 0
fi

# --------------------------------------------------------------- outside X ---
MODE=${1:?prefix or deb}
BUILD=$(readlink -f "${2:?build folder}")
SHOTS_BIN=$(readlink -f "${3:?klotzar-screenshots binary}")
require_tools Xvfb xdotool openbox import convert compare identify xprop timeout
[ -x "$BUILD/klotzar" ] || fail "no klotzar in $BUILD"

BASE=$(mktemp -d /tmp/klotzar-installed-XXXXXX)
cleanup() {
  chmod -R u+w "$BASE" 2>/dev/null
  if [ -n "${PASSED:-}" ]; then rm -rf "$BASE"; else echo "  kept for a look: $BASE" >&2; fi
}
trap cleanup EXIT
ROOT=$BASE/root

case "$MODE" in
  prefix)
    cmake --install "$BUILD" --prefix "$ROOT/usr" >"$BASE/install.out" 2>&1 || fail "cmake --install: $(cat "$BASE/install.out")"
    ;;
  deb)
    require_tools cpack dpkg-deb lintian make
    SOURCE=$(dirname "$(readlink -f "$0")")/../..
    make -C "$SOURCE" --no-print-directory deb DEB_BUILD="$BASE/build-deb" >"$BASE/deb.out" 2>&1 ||
      fail "make deb: $(tail -n 20 "$BASE/deb.out")"
    DEB=$(ls "$BASE"/build-deb/klotzar_*.deb 2>/dev/null | head -n1)
    [ -n "$DEB" ] || fail "no package made: $(tail -n 20 "$BASE/deb.out")"
    echo "  package: $(basename "$DEB")"
    dpkg-deb -f "$DEB" Depends | grep -q 'fonts-liberation2' || fail "Depends lacks fonts-liberation2"
    dpkg-deb -f "$DEB" Depends | grep -q 'timgm6mb-soundfont | fluid-soundfont-gm' || fail "Depends lacks the sound bank"
    dpkg-deb -f "$DEB" Depends | grep -q 'libsdl2' || fail "Depends lacks the shared libraries"
    lintian --tag-display-limit 0 "$DEB" 2>&1 | grep -v 'running with root privileges' >"$BASE/lintian.out"
    sed 's/^/  lintian: /' "$BASE/lintian.out"
    grep -q '^E: ' "$BASE/lintian.out" && fail "lintian reports errors"
    dpkg-deb -x "$DEB" "$ROOT" || fail "dpkg-deb -x failed"
    ;;
  *) fail "unknown mode $MODE" ;;
esac
INSTALLED=$(ls "$ROOT"/usr/bin/klotzar "$ROOT"/usr/games/klotzar 2>/dev/null | head -n1)
[ -x "$INSTALLED" ] || fail "no klotzar in $ROOT/usr/bin or $ROOT/usr/games"
[ -d "$ROOT/usr/share/klotzar/Data" ] || fail "no game files in $ROOT/usr/share/klotzar"
# The menu icons, read back by another decoder: the size in their folder's
# name, with clear corners.
for size in 16 32 48 64 128 256; do
  icon=$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/klotzar.png
  seen=$(identify -format '%wx%h %[channels]' "$icon" 2>&1) || fail "$icon does not decode: $seen"
  [ "$seen" = "${size}x${size} srgba" ] || fail "$icon is $seen"
  corner=$(convert "$icon" -format '%[fx:p{0,0}.a]' info:)
  middle=$(convert "$icon" -format "%[fx:p{$((size / 2)),$((size / 2))}.a]" info:)
  [ "$corner" = 0 ] && [ "$middle" = 1 ] || fail "$icon: alpha $corner in the corner, $middle in the middle"
done

# The portable game beside it starts from the same settings.
copy_game_files "$BUILD" "$BASE/portable/game"
cp "$ROOT/usr/share/klotzar/Data/ini.ini" "$BASE/portable/game/Data/ini.ini"
for run in portable installed; do mkdir -p "$BASE/$run/cwd" "$BASE/$run/home"; done

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$SHOTS_BIN" "$BASE/ref" "$NAME" >/dev/null ||
  fail "could not draw the reference frames"

chmod -R a-w "$ROOT"
snapshot() { (cd "$1" && find . -printf '%p %y %s %m %T@\n' | sort); }
snapshot "$ROOT" >"$BASE/root-before.txt"

H=$BASE/installed/home
start=$(date +%s)
in_x_screen 800x600x24 timeout -k 5 "$LIMIT" "$0" --inside "$BASE/portable/game/klotzar" "$BASE/portable/cwd" \
  HOME="$BASE/portable/home" || fail "the portable run failed"
READ_ONLY_ROOT=$ROOT in_x_screen 800x600x24 timeout -k 5 "$LIMIT" "$0" --inside "$INSTALLED" "$BASE/installed/cwd" \
  HOME="$H" XDG_CONFIG_HOME="$H/cfg" XDG_DATA_HOME="$H/data" XDG_STATE_HOME="$H/state" || fail "the installed run failed"
echo "  runs in the X screen: $(( $(date +%s) - start )) s"

# Where everything went.
snapshot "$ROOT" >"$BASE/root-after.txt"
cmp -s "$BASE/root-before.txt" "$BASE/root-after.txt" || fail "the installed files changed: $(diff "$BASE/root-before.txt" "$BASE/root-after.txt" | head)"
[ -z "$(ls -A "$BASE/installed/cwd")" ] || fail "written into the working folder: $(ls -A "$BASE/installed/cwd")"
[ -z "$(ls -A "$BASE/portable/cwd")" ] || fail "the portable game wrote into the working folder: $(ls -A "$BASE/portable/cwd")"
[ -z "$(ls -A "$BASE/portable/home")" ] || fail "the portable game wrote into HOME"
# The settings, the name, the list, the recorded games (the last one and the
# row's, named after its score) and the log.
written=$(cd "$H" && find . -type f | sort |
  sed 's|^\./data/klotzar/Replays/[0-9]*-[0-9a-f]*-0\.txt$|./data/klotzar/Replays/ROW|' | tr '\n' ' ')
[ "$written" = "./cfg/klotzar/ini.ini ./cfg/klotzar/name.txt ./data/klotzar/Highscore.zip ./data/klotzar/Replays/ROW ./data/klotzar/Replays/last.txt ./state/klotzar/log.txt " ] ||
  fail "the installed game wrote: $written"
for folder in cfg/klotzar data/klotzar data/klotzar/Replays state/klotzar; do
  [ "$(stat -c %a "$H/$folder")" = 700 ] || fail "$folder has mode $(stat -c %a "$H/$folder")"
done
[ -s "$BASE/installed/app.out" ] && fail "the installed game said: $(cat "$BASE/installed/app.out")"

P=$BASE/portable/game
cmp "$P/Data/ini.ini" "$H/cfg/klotzar/ini.ini" || fail "ini.ini differs"
grep -q $'^Vorbelegung=1\r$' "$H/cfg/klotzar/ini.ini" || fail "the option click did not reach ini.ini"
grep -q $'^modus=2\r$' "$H/cfg/klotzar/ini.ini" || fail "the Spielmodus click did not reach ini.ini"
cmp "$P/log.txt" "$H/state/klotzar/log.txt" || fail "log.txt differs"
cmp "$P/Data/name.txt" "$H/cfg/klotzar/name.txt" || fail "name.txt differs"
[ "$(tail -n 1 "$H/state/klotzar/log.txt")" = $'Audio: Freigabe OK\r' ] || fail "the log ends early"
grep -q 'Datei nicht gefunden\|Fehler' "$H/state/klotzar/log.txt" && fail "the log reports a missing file"
# The pieces are random, so the two scores differ: everything else must not.
grep -q "^[0-9]*,$NAME"$'\r$' "$H/data/klotzar/Highscore.zip" || fail "no score for $NAME in Highscore.zip"
same_but_score() { sed "s/^[0-9]*,$NAME\r\$/S,$NAME\r/" "$1"; }
cmp <(same_but_score "$P/Data/Highscore.zip") <(same_but_score "$H/data/klotzar/Highscore.zip") ||
  fail "Highscore.zip differs beyond the score"
PASSED=1
echo "PASS"
