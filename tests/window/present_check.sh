#!/usr/bin/env bash
# Runs klotzar-present-check in virtual X screens of several sizes, with a
# window manager as on a desktop: the picture 1:1, scaled to fill a 4:3
# screen, with bars above and below, and with bars beside it.
#
#   present_check.sh <klotzar-present-check> <build folder>
set -u
. "$(dirname "$(readlink -f "$0")")/../scripts/x-session.sh"

if [ "${1:-}" = "--inside" ]; then
  OB=
  trap stop_x_clients EXIT
  start_window_manager openbox.out
  SDL_AUDIODRIVER=dummy "$2"
  exit $?
fi

CHECK=$(readlink -f "${1:?klotzar-present-check binary}")
BUILD=$(readlink -f "${2:?build folder}")
require_tools Xvfb openbox xprop xlogo xdotool
[ -d "$BUILD/Data" ] || fail "no generated Data folder in $BUILD"

WORK=$(mktemp -d /tmp/klotzar-present-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
copy_game_files "$BUILD" "$WORK"
cd "$WORK" || exit 1

status=0
for screen in 800x600x24 1024x768x24 1280x1024x24 1366x768x24; do
  echo "screen $screen"
  in_x_screen "$screen" timeout -k 5 300 "$(readlink -f "$0")" --inside "$CHECK" || status=1
done
exit $status
