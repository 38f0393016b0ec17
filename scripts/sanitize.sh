#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer (clang), together with
# the fuzz targets, and runs them all: a memory error, a leak or undefined behaviour fails the
# run, and so does a crash the fuzzers find within their time (FUZZ_SECONDS each, 60 unless
# set). The asan presets hold the build's settings and the sanitizers' options for the tests.
# scripts/fuzz.sh sources it for the same build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"
source "$ROOT/scripts/install-packages.sh"
install_missing clang libclang-rt-14-dev ninja-build
source "$ROOT/scripts/generator.sh"

# configure_sanitize_build [CMAKE_ARGUMENT...]: the sanitizer build in BUILD_DIR.
configure_sanitize_build() {
    cmake --preset asan -S "$ROOT" -B "$BUILD_DIR" "$@" > /dev/null
}
if [[ "${BASH_SOURCE[0]}" != "$0" ]]; then
    return 0  # sourced: the caller builds and runs what it needs
fi

configure_sanitize_build -DDISCOMETER_FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
cmake --build "$BUILD_DIR" -j "$(nproc)"
cd "$ROOT"
exec ctest --preset asan --test-dir "$BUILD_DIR" -j "$(nproc)"
