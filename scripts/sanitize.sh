#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer (clang), together with
# the fuzz targets, and runs them all: a memory error, a leak or undefined behaviour fails the
# run, and so does a crash the fuzzers find within their time.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"
source "$ROOT/scripts/install-packages.sh"
install_missing clang libclang-rt-14-dev

cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDISCOMETER_SANITIZE=ON -DDISCOMETER_FUZZ=ON -DDISCOMETER_BENCH=OFF \
    -DDISCOMETER_FUZZ_SECONDS="${FUZZ_SECONDS:-30}" > /dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
cd "$BUILD_DIR"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
exec ctest --output-on-failure -j "$(nproc)"
