#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/setup.sh"
if [[ -z "${DISCOMETER_DRIVES:-}" ]] && ! ls /sys/block/sr* > /dev/null 2>&1; then
    echo "No optical drive found: using the simulated drive (DISCOMETER_DRIVES=sim)."
    export DISCOMETER_DRIVES=sim
fi
exec "$BUILD_DIR/ui/discometer" "$@"
