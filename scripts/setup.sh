#!/bin/sh
# Sets up a fresh Debian 12 machine for Tamborly: installs the packages of
# scripts/packages.txt, then configures and builds into ./build (or $1).
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
shift 2>/dev/null || true
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
PACKAGES="$(grep -v '^[[:space:]]*#' scripts/packages.txt | grep -v '^[[:space:]]*$' | tr '\n' ' ')"
MISSING=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || MISSING="$MISSING $p"
done
if [ -n "$MISSING" ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $MISSING
fi
LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B "$BUILD_DIR" -G Ninja $LAUNCHER "$@"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
