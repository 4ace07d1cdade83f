#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs the Debian packages the build and the tests need
# (only those that are missing) and sets up ccache so that every clone on this machine
# shares one compiler cache.
set -euo pipefail

KESTRAVA_PACKAGES=(
  g++ cmake ninja-build ccache
  qt6-base-dev libgl-dev
  libzip-dev libzint-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  python3 python3-aiosmtpd
  poppler-utils zbar-tools fonts-liberation2
)

kestrava_install_packages() {
  local missing=()
  for p in "${KESTRAVA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

kestrava_setup_ccache() {
  local root="$1"
  export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
  # Paths below the checkout are hashed relative to it and the working directory is left out
  # of the hash, so a clean clone elsewhere on the machine reuses the same cache entries.
  export CCACHE_BASEDIR="$root"
  export CCACHE_NOHASHDIR=1
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
  mkdir -p "$CCACHE_DIR"
}
