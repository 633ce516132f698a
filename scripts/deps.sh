#!/usr/bin/env bash
# The one list of Debian packages the project needs, and the installer that play.sh and
# test.sh share. Installs only what is missing; uses sudo when not root.
set -euo pipefail

# Building and running the game.
BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libepoxy-dev libgl-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libsndfile1-dev libopenmpt-dev liblua5.1-0-dev
  libfreetype-dev fonts-dejavu-core
)
# Running the tests and benchmarks: GoogleTest, Google Benchmark, a virtual X display with
# software GL, input injection.
TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  xvfb xauth xdotool libgl1-mesa-dri
)
# Fuzzing the data-file readers (fuzz/build.sh): clang's libFuzzer and sanitizers.
FUZZ_PACKAGES=(
  clang
)

deps_missing() {
  local p missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]:-}"
}

deps_install() {
  local missing
  missing=$(deps_missing "$@")
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $missing"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  # shellcheck disable=SC2086
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}
