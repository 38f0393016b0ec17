#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer (clang), together with
# the fuzz targets, and runs them all: a memory error, a leak or undefined behaviour fails the
# run, and so does a crash the fuzzers find within their time (FUZZ_SECONDS each, 60 unless
# set). scripts/fuzz.sh sources it for the same build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"
source "$ROOT/scripts/install-packages.sh"
install_missing clang libclang-rt-14-dev

# configure_sanitize_build [CMAKE_ARGUMENT...]: the sanitizer build in BUILD_DIR.
configure_sanitize_build() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDISCOMETER_SANITIZE=ON -DDISCOMETER_FUZZ=ON \
        -DDISCOMETER_BENCH=OFF "$@" > /dev/null
}
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
if [[ "${BASH_SOURCE[0]}" != "$0" ]]; then
    return 0  # sourced: the caller builds and runs what it needs
fi

configure_sanitize_build -DDISCOMETER_FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
cmake --build "$BUILD_DIR" -j "$(nproc)"
cd "$BUILD_DIR"
exec ctest --output-on-failure -j "$(nproc)"
