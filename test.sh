#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
deps_install "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELORA_WERROR=ON "${launcher[@]}"
cmake --build build -j "$(nproc)"

# Audio tests run on SDL's dummy driver: these machines need not have a sound card.
cd build
SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24' \
  ctest -j "$(nproc)" --output-on-failure --timeout 300
