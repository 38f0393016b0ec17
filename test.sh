#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/setup.sh"
cd "$ROOT"
exec ctest --preset "$PRESET" --test-dir "$BUILD_DIR" -j "$(nproc)" "$@"
