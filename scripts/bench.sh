#!/usr/bin/env bash
# Builds the benchmark program optimised, in a build folder of its own, and prints the table
# of where the program stands. Takes about half a minute once built.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BENCH_BUILD_DIR:-$ROOT/build-bench}"

source "$ROOT/scripts/generator.sh"
cmake --preset bench -S "$ROOT" -B "$BUILD_DIR" > /dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target discometer-bench > /dev/null
exec "$BUILD_DIR/bench/discometer-bench" "$@"
