#!/usr/bin/env bash
# scripts/fuzz.sh [minutes]: long fuzzing. Builds the fuzz targets in the sanitizer build and
# runs both side by side for the given minutes (10 unless given), each from its own corpus
# outside the source tree (FUZZ_DIR/corpus/<target>, FUZZ_DIR being build-fuzz/ unless set),
# which the committed seeds start and every later run keeps growing. An input that crashes
# is written to FUZZ_DIR/crashes/ and fails the run: make it a regular test. To take what a
# run found into the committed seeds, merge it there with the target's -merge=1.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/sanitize.sh"

MINUTES="${1:-10}"
if ! [[ "$MINUTES" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [minutes]" >&2
    exit 2
fi
FUZZ_DIR="${FUZZ_DIR:-$ROOT/build-fuzz}"
TARGETS=(replay descriptor)
# The sanitizers' options of the asan test preset, for the fuzzers run here outside ctest.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

configure_sanitize_build
cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${TARGETS[@]/#/fuzz_}"
mkdir -p "$FUZZ_DIR/crashes"

pids=()
for target in "${TARGETS[@]}"; do
    corpus="$FUZZ_DIR/corpus/$target"
    mkdir -p "$corpus"
    for seed in "$ROOT/tests/fuzz/corpus/$target/"*; do
        [[ -e "$corpus/${seed##*/}" ]] || cp "$seed" "$corpus/"
    done
    echo "fuzz_$target: $MINUTES min from $corpus ($(find "$corpus" -type f | wc -l) inputs)," \
        "log in $FUZZ_DIR/$target.log"
    "$BUILD_DIR/tests/fuzz/fuzz_$target" -max_total_time=$((MINUTES * 60)) -rss_limit_mb=4096 \
        -timeout=20 -print_final_stats=1 -artifact_prefix="$FUZZ_DIR/crashes/$target-" \
        "$corpus" > "$FUZZ_DIR/$target.log" 2>&1 &
    pids+=($!)
done

status=0
for i in "${!TARGETS[@]}"; do
    target="${TARGETS[$i]}"
    if wait "${pids[$i]}"; then
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' \
            "$FUZZ_DIR/$target.log" | sed "s/^/fuzz_$target: /"
    else
        status=1
        echo "fuzz_$target FOUND A FAILURE:" >&2
        grep -E -A30 '^==[0-9]+==ERROR|runtime error|^SUMMARY|Test unit written' \
            "$FUZZ_DIR/$target.log" | head -60 >&2
    fi
done
exit "$status"
