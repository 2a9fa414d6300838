#!/usr/bin/env bash
# Installs the Debian packages the build and tests need (only those missing),
# then configures and builds incrementally. Called by ./run and ./test.
#   scripts/setup.sh [default|asan]   (asan: address and undefined-behaviour checks, in build-asan/)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PRESET="${1:-default}"
case "$PRESET" in
  default) BUILD="$ROOT/build" ;;
  asan) BUILD="$ROOT/build-asan" ;;
  *) echo "unknown build: $PRESET (default or asan)" >&2; exit 2 ;;
esac

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
          libsqlite3-dev sqlite3 libzip-dev zlib1g-dev zip unzip 7zip enscript ghostscript poppler-utils
          fonts-dejavu-core xvfb xauth libcups2-dev)
missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cd "$ROOT"
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake --preset "$PRESET"
fi
cmake --build --preset "$PRESET" --parallel "$(nproc)"
