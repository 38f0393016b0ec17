#!/usr/bin/env bash
# The Windows build: installs what it needs from Debian, cross-builds the 32-bit programs with
# mingw-w64 into build-win32/, packages them (.zip and NSIS installer) and runs the Windows
# tests under Wine, among them the installer and a comparison with the Linux build's files.
# usage: scripts/windows.sh [--win64]   (--win64 also builds the 64-bit programs, build-win64/)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
win64=0
if [[ ${1:-} == --win64 ]]; then
    win64=1
fi
started=$SECONDS
step() {
    echo "== $* ($((SECONDS - started)) s)"
}

# Wine's 32-bit half comes from the i386 architecture.
source "$ROOT/scripts/install-packages.sh"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    $sudo dpkg --add-architecture i386
    update_package_lists
fi
PACKAGES=(
    cmake ninja-build python3 file
    g++-mingw-w64-i686-posix googletest libcli11-dev
    wine wine32:i386 xvfb xauth
    # Liberation Sans, as wide as Arial: without it Wine falls back to DejaVu Sans, whose
    # wider glyphs cut the window's texts.
    fonts-liberation
    genisoimage nsis
    # The Linux command line, to compare the files both builds write.
    build-essential pkg-config libasound2-dev
)
if ((win64)); then
    PACKAGES+=(g++-mingw-w64-x86-64-posix)
fi
install_missing "${PACKAGES[@]}"
source "$ROOT/scripts/generator.sh"

# The Linux discometer-cli: the one ./test.sh built, or one built here without Qt or tests.
linux_cli=$ROOT/build/cli/discometer-cli
if [[ ! -x $linux_cli ]]; then
    step "Building the Linux command line for the comparison"
    cmake --preset cli-only -DDISCOMETER_TESTS=OFF > /dev/null
    cmake --build build-cli -j "$(nproc)" --target discometer-cli
    linux_cli=$ROOT/build-cli/cli/discometer-cli
fi

configure_args=(-DDISCOMETER_LINUX_CLI="$linux_cli")
if [[ -n "${CI:-}" || -n "${DISCOMETER_WERROR:-}" ]]; then
    configure_args+=(-DDISCOMETER_WERROR=ON)
fi
if command -v ccache > /dev/null; then
    configure_args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

step "Cross-building the 32-bit programs into build-win32/"
cmake --preset windows-i686 "${configure_args[@]}" > /dev/null
cmake --build build-win32 -j "$(nproc)"

# Console and window programs for 32-bit Windows that need no DLLs of their own.
expect_pe() {
    local program=$1 kind=$2
    if [[ -e $program ]]; then
        file "$program" | grep -q "PE32 executable ($kind) Intel 80386" ||
            { echo "$program: $(file -b "$program"), not PE32 $kind Intel 80386" >&2; exit 1; }
        if i686-w64-mingw32-objdump -p "$program" | grep 'DLL Name' |
            grep -Eiq 'libstdc|libgcc|libwinpthread'; then
            echo "$program needs a DLL of the compiler's" >&2
            exit 1
        fi
    fi
}
required=(build-win32/cli/discometer-cli.exe)
if compgen -G 'ui/win32/*.cpp' > /dev/null; then
    required+=(build-win32/ui/win32/discometer.exe)  # the window, once it is written
fi
for program in "${required[@]}"; do
    [[ -e $program ]] || { echo "$program was not built" >&2; exit 1; }
done
expect_pe build-win32/cli/discometer-cli.exe console
expect_pe build-win32/ui/win32/discometer.exe GUI

step "Packaging: portable .zip and installer"
(cd build-win32 && cpack > /dev/null && ls discometer-*-win32*)

step "Testing under Wine"
scripts/wine-ctest.sh build-win32 -j "$(nproc)"

if ((win64)); then
    step "Cross-building the 64-bit programs into build-win64/"
    cmake --preset windows-x86_64 "${configure_args[@]}" > /dev/null
    cmake --build build-win64 -j "$(nproc)"
fi
step "Done"
