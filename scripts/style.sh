#!/usr/bin/env bash
# The house style, checked as CI checks it: every source file laid out as .clang-format says,
# and clang-tidy's checks (.clang-tidy) over our sources in the compile_commands.json of a
# configured build (build/, or BUILD_DIR; ./test.sh makes it).
# usage: scripts/style.sh [--fix]   (--fix lays the files out instead of checking them)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/install-packages.sh"
install_missing clang-format clang-tidy git
cd "$ROOT"

# Made by a committed script and compared with a fresh run of it by a test: as the script
# writes it.
GENERATED=(platform/FontGlyphs.cpp)
mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' |
    grep -vxF -f <(printf '%s\n' "${GENERATED[@]}"))

if [[ ${1:-} == --fix ]]; then
    clang-format -i "${sources[@]}"
    exit
fi
echo "== clang-format: ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

if [[ ! -f $BUILD_DIR/compile_commands.json ]]; then
    echo "$BUILD_DIR/compile_commands.json is missing: configure a build first (./test.sh)" >&2
    exit 1
fi
# Our own sources only: not what the build generates (Qt's moc files, the sound data).
layers='platform|run|system|results|engine|startup|ui|cli|tests|bench|tools|packaging'
echo "== clang-tidy over $BUILD_DIR/compile_commands.json"
# Only what the checks find: not the command of each file, nor the count of what the system's
# headers would have said.
if ! run-clang-tidy -quiet -j "$(nproc)" -p "$BUILD_DIR" "^$ROOT/($layers)/" 2>&1 |
    { grep -Ev '^clang-tidy-[0-9]+ |^[0-9]+ warnings? generated\.$' || true; }; then
    echo "clang-tidy found what .clang-tidy forbids" >&2
    exit 1
fi
