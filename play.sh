#!/usr/bin/env bash
# Installs what is missing, builds the game in Release and starts it from run/, which holds DATA/.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
deps_install "${BUILD_PACKAGES[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play.sh: no display found (DISPLAY is not set). Start it from a desktop session," >&2
  echo "or under a virtual display: xvfb-run -a ./play.sh" >&2
  exit 1
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELORA_BUILD_TESTS=OFF "${launcher[@]}"
cmake --build build-release -j "$(nproc)" --target quibbet

# The game reads DATA/ from its working directory and writes its log, reports, screenshots
# and best result there.
mkdir -p run
rm -rf run/DATA.new
cp -r game/DATA run/DATA.new
# Keep the player's best result across rebuilds.
[ -f run/DATA/qbhs.dat ] && cp run/DATA/qbhs.dat run/DATA.new/
rm -rf run/DATA
mv run/DATA.new run/DATA
cd run
exec ../build-release/Source/Game/quibbet
