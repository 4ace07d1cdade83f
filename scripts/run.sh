#!/usr/bin/env bash
# Installs what is missing, builds the program (release build, no sanitizers) and starts it in
# its data directory, which it creates when needed.
#   scripts/run.sh [data directory] [program arguments...]
# The data directory is, in this order: the first argument, $KESTRAVA_DATA, ~/Kestrava.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
kestrava_install_packages
kestrava_setup_ccache "$root"

data="${KESTRAVA_DATA:-$HOME/Kestrava}"
if [ $# -gt 0 ]; then
  data="$1"
  shift
fi

build="$root/build/run"
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRAVA_SANITIZE=OFF -DKESTRAVA_TESTS=OFF \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
jobs=$(( $(nproc) > 4 ? 4 : $(nproc) ))
cmake --build "$build" --target kestrava -j "$jobs"

mkdir -p "$data"
cd "$data"
exec "$build/kestrava" "$@"
