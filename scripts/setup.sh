#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds into build/ (BUILD_DIR) with the dev preset, or the ci preset (warnings are errors)
# under CI or with DISCOMETER_WERROR set. Sourced by run.sh and test.sh, which find the
# preset in PRESET.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

PACKAGES=(
    build-essential cmake ninja-build pkg-config python3
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    qt6-base-dev libasound2-dev libcli11-dev
    xorriso genisoimage udftools
    desktop-file-utils appstream groff-base lintian
    xfonts-100dpi
    # Liberation Sans, as wide as Arial, the faces the window is laid out in; DejaVu, the
    # sans serif of a machine without them, which the window's texts are tested in as well.
    fonts-liberation fonts-dejavu-core
)

source "$ROOT/scripts/install-packages.sh"
install_missing "${PACKAGES[@]}"

source "$ROOT/scripts/generator.sh"

PRESET=dev
if [[ -n "${CI:-}" || -n "${DISCOMETER_WERROR:-}" ]]; then
    PRESET=ci
fi
cmake --preset "$PRESET" -S "$ROOT" -B "$BUILD_DIR" > /dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
