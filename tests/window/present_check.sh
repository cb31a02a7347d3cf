#!/usr/bin/env bash
# Runs klotzar-present-check in virtual X screens of several sizes, with a
# window manager as on a desktop: the picture 1:1, scaled to fill a 4:3
# screen, with bars above and below, and with bars beside it.
#
#   present_check.sh <klotzar-present-check> <build folder>
set -u
. "$(dirname "$(readlink -f "$0")")/../support/x-session.sh"

if [ "${1:-}" = "--inside" ]; then
  begin_x_run openbox.out
  SDL_AUDIODRIVER=dummy "$2"
  exit $?
fi

CHECK=$(readlink -f "${1:?klotzar-present-check binary}")
BUILD=$(readlink -f "${2:?build folder}")
require_x_test_tools "$BUILD" xlogo

make_base_folder present
copy_game_files "$BUILD" "$BASE"
cd "$BASE" || exit 1

status=0
for screen in 800x600x24 1024x768x24 1280x1024x24 1366x768x24; do
  echo "screen $screen"
  run_in_x_screen "$screen" 600 "$CHECK" || status=1
done
exit $status
