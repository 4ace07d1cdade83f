#!/usr/bin/env bash
# Installs what is missing, builds the test build (with sanitizers) and runs every test.
#   scripts/test.sh [ctest arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
kestrava_install_packages
kestrava_setup_ccache "$root"

build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DKESTRAVA_SANITIZE=ON -DKESTRAVA_TESTS=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
