#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds into build/. Sourced by run.sh and test.sh.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

PACKAGES=(
    build-essential cmake pkg-config python3
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    qt6-base-dev libasound2-dev libcli11-dev
    xorriso genisoimage
    desktop-file-utils appstream groff-base lintian
    xfonts-100dpi
)

source "$ROOT/scripts/install-packages.sh"
install_missing "${PACKAGES[@]}"

cmake_args=(-S "$ROOT" -B "$BUILD_DIR")
if [[ -n "${CI:-}" || -n "${DISCOMETER_WERROR:-}" ]]; then
    cmake_args+=(-DDISCOMETER_WERROR=ON)
fi
cmake "${cmake_args[@]}" > /dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
