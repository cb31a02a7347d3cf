#!/usr/bin/env bash
# Installs the Debian packages Klotzar needs.
#
#   install-deps.sh          what the game needs to build and run (make run)
#   install-deps.sh --deb    that, and what makes the Debian package (make deb)
#   install-deps.sh --test   all of it, and every test tool (make test)
#
# Idempotent: when everything is present it prints nothing and touches nothing.
set -euo pipefail

game=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libfontconfig-dev
  fonts-liberation2 timgm6mb-soundfont
)
deb=(dpkg-dev)
test=(
  libgtest-dev libbenchmark-dev valgrind libfluidsynth-dev
  xvfb xauth xdotool x11-utils x11-apps imagemagick openbox
  clang libclang-rt-14-dev
  desktop-file-utils appstream lintian
)

packages=("${game[@]}")
case "${1:-}" in
  "") ;;
  --deb) packages+=("${deb[@]}") ;;
  --test) packages+=("${deb[@]}" "${test[@]}") ;;
  *) echo "usage: $0 [--deb | --test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
