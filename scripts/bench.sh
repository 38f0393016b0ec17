#!/usr/bin/env bash
# Builds the benchmark program optimised, in a build folder of its own, and prints the table
# of where the program stands. Takes about half a minute once built. `scripts/bench.sh
# catalogue` runs the catalogue's benchmark instead: history over 10,000 discs of 10 runs
# each and two Blu-ray runs compared (it builds its catalogue first, a minute or so).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BENCH_BUILD_DIR:-$ROOT/build-bench}"

source "$ROOT/scripts/generator.sh"
cmake --preset bench -S "$ROOT" -B "$BUILD_DIR" > /dev/null
if [[ ${1:-} == catalogue ]]; then
    shift
    cmake --build "$BUILD_DIR" -j "$(nproc)" --target bench_catalogue > /dev/null
    exec "$BUILD_DIR/bench/bench_catalogue" "$@"
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" --target discometer-bench > /dev/null
exec "$BUILD_DIR/bench/discometer-bench" "$@"
