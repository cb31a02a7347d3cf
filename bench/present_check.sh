#!/usr/bin/env bash
# Runs klotzar-present-check in virtual X screens of several sizes: the
# picture 1:1, scaled to fill a 4:3 screen, with bars above and below, and
# with bars beside it.
#
#   present_check.sh <klotzar-present-check> <build folder>
set -u
CHECK=$(readlink -f "${1:?klotzar-present-check binary}")
BUILD=$(readlink -f "${2:?build folder}")
command -v xvfb-run >/dev/null || { echo "FAIL: xvfb-run is not installed" >&2; exit 1; }
[ -d "$BUILD/Data" ] || { echo "FAIL: no generated Data folder in $BUILD" >&2; exit 1; }

WORK=$(mktemp -d /tmp/klotzar-present-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cp -r "$BUILD/Data" "$WORK/Data"
rm -f "$WORK/Data/ini.ini" "$WORK/Data/Highscore.zip"
cd "$WORK" || exit 1

status=0
for screen in 800x600x24 1024x768x24 1280x1024x24 1366x768x24; do
  echo "screen $screen"
  SDL_AUDIODRIVER=dummy timeout -k 5 120 xvfb-run -a -s "-screen 0 $screen" "$CHECK" || status=1
done
exit $status
