#!/usr/bin/env bash
# Configures and builds the fuzz targets in build-fuzz/ (clang, ASan, UBSan, libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
deps_install "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELORA_FUZZ=ON -DVELORA_BUILD_TESTS=OFF -DVELORA_BUILD_BENCH=OFF
ninja -C build-fuzz res_fuzzers
