#!/usr/bin/env bash
# Runs the tests of a Windows build under Wine: makes the test discs and a throwaway 32-bit
# prefix in BUILD_DIR/wine, keeps one wineserver for all the tests, started outside ctest's
# pipes (Wine's background processes would hold them open and ctest would wait for them),
# and runs ctest.
# usage: wine-ctest.sh [--xvfb] BUILD_DIR [CTEST ARGUMENTS...]
#   --xvfb  windows go to an Xvfb display rather than to Wine's null display driver
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [[ ${1:-} == --under-xvfb ]]; then  # the second half of --xvfb, inside xvfb-run
    shift
    under_xvfb=1
else
    under_xvfb=0
fi
xvfb=0
if [[ ${1:-} == --xvfb ]]; then
    xvfb=1
    shift
fi
if (($# < 1)); then
    echo "usage: $0 [--xvfb] BUILD_DIR [CTEST ARGUMENTS...]" >&2
    exit 2
fi
BUILD_DIR=$(readlink -f "$1")
shift
WINE_DIR=$BUILD_DIR/wine
export WINEPREFIX=$WINE_DIR/prefix WINEDEBUG=-all

run_tests() {
    wineserver -p
    wine cmd /c exit 0 > /dev/null 2>&1
    trap 'wineserver -k; wineserver -w' EXIT
    (cd "$ROOT" && ctest --preset windows-i686 --test-dir "$BUILD_DIR" "$@")
}

if ((under_xvfb)); then
    run_tests "$@"
    exit
fi

# The test discs: an ISO 9660 image of some 10,000 sectors in D:, and in E: an image past
# 4 GiB that takes no room on the disk, whose marked sectors say where they lie.
mkdir -p "$WINE_DIR"
rm -rf "$WINE_DIR/disc"
mkdir -p "$WINE_DIR/disc"
head -c $((20 << 20)) /dev/zero > "$WINE_DIR/disc/data.bin"
genisoimage -quiet -V WINE_TEST_DISC -o "$WINE_DIR/disc.iso" "$WINE_DIR/disc"
rm -f "$WINE_DIR/big.img"
truncate -s $((2097154 * 2048)) "$WINE_DIR/big.img"
for sector in 16 1048576 2097153; do
    printf 'SECTOR%08d' "$sector" |
        dd of="$WINE_DIR/big.img" bs=2048 seek="$sector" conv=notrunc status=none
done

if ((xvfb)); then
    "$ROOT/scripts/wine-prefix.sh" --x11 "$WINEPREFIX" "$WINE_DIR/disc.iso" "$WINE_DIR/big.img"
    exec xvfb-run -a -s '-screen 0 1024x768x24' \
        "$ROOT/scripts/wine-ctest.sh" --under-xvfb "$BUILD_DIR" "$@"
fi
"$ROOT/scripts/wine-prefix.sh" "$WINEPREFIX" "$WINE_DIR/disc.iso" "$WINE_DIR/big.img"
run_tests "$@"
