#!/bin/sh
# The Windows installer as a user meets it: installed silently under Wine, the installed
# program run, its Start-menu entry there, then uninstalled silently.
# usage: installer_test.sh BUILD_DIR VERSION  (exit status 77 when no installer was packaged)
set -eu
build=$1
expected="discometer-cli $2"
setup=$(ls "$build"/discometer-*-win32-setup.exe 2> /dev/null | head -n 1)
if [ -z "$setup" ]; then
    echo "no installer in $build: run cpack -G NSIS there first"
    exit 77
fi
installed="$WINEPREFIX/drive_c/Discometer"
menus="$WINEPREFIX/drive_c"
fail() {
    echo "FAILED: $*"
    exit 1
}
help_links() {
    find "$menus" -path '*Start Menu*' -name 'Discometer Help.lnk' | wc -l
}

rm -rf "$installed" "$WINEPREFIX/drive_c/run.dat"
wine "$setup" /S '/D=C:\Discometer'
[ -f "$installed/discometer-cli.exe" ] || fail "discometer-cli.exe not installed"
[ -f "$installed/doc/index.html" ] || fail "the documentation not installed"
[ -f "$installed/Uninstall.exe" ] || fail "no uninstaller"
[ "$(help_links)" -ge 1 ] || fail "no Start-menu entry"

version=$(wine 'C:\Discometer\discometer-cli.exe' --version | tr -d '\r')
[ "$version" = "$expected" ] || fail "the installed program says '$version'"
# A complete run of the simulated disc, whose unreadable areas make the exit status 3.
status=0
wine 'C:\Discometer\discometer-cli.exe' measure sim-unpaced --dat 'C:\run.dat' \
    > /dev/null 2>&1 || status=$?
[ "$status" -eq 3 ] || fail "the installed program's run ended with $status"
grep -q 'DISCOMETER_DEMO' "$WINEPREFIX/drive_c/run.dat" || fail "no results document"

# In place (_?=), so that the uninstaller has finished when it returns.
wine 'C:\Discometer\Uninstall.exe' /S '_?=C:\Discometer'
[ ! -e "$installed/discometer-cli.exe" ] || fail "discometer-cli.exe left behind"
[ "$(help_links)" -eq 0 ] || fail "the Start-menu entry left behind"
rm -rf "$installed" "$WINEPREFIX/drive_c/run.dat"
echo "installed, ran and uninstalled $(basename "$setup")"
