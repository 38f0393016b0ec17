#!/usr/bin/env bash
# Compares a whole run of discometer-cli on a disc image or device with dd reading the same
# sectors unbuffered, in the same 1000-sector reads. Not a test: the figures depend on the
# machine. Usage: tests/cli_dd_compare.sh IMAGE [BUILD_DIR]
set -euo pipefail

IMAGE="$(realpath "$1")"
BUILD_DIR="${2:-$(dirname "$0")/../build}"
CLI="$BUILD_DIR/cli/discometer-cli"

sectors=$(isoinfo -d -i "$IMAGE" | sed -n 's/^Volume size is: //p')
blocks=$((sectors / 1000))
echo "Image: $IMAGE, $sectors sectors; dd reads $blocks blocks of 1000 sectors"

for sequencer in 800-200 1000; do
    echo "== discometer-cli measure --sequencer $sequencer"
    # The summary is on standard error; a run with unreadable blocks exits 3.
    { "$CLI" measure "$IMAGE" --sequencer "$sequencer" 2>&1 > /dev/null || true; } |
        grep -E '^(State|Timed speed|Wall time):'
done
echo "== dd iflag=direct bs=2048000"
dd if="$IMAGE" iflag=direct bs=2048000 count="$blocks" of=/dev/null 2>&1 | tail -n 1
