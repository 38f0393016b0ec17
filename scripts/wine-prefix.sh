#!/usr/bin/env bash
# Creates a throwaway 32-bit Wine prefix whose D: is a CD-ROM drive backed by a disc image,
# and E: a second one when a second image is given. Windows go to Wine's null display driver
# (no X server needed) unless --x11 asks for the display in $DISPLAY (Xvfb); sound is off.
# usage: wine-prefix.sh [--x11] PREFIX DISC.iso [SECOND.img]
set -euo pipefail
x11=0
if [[ ${1:-} == --x11 ]]; then
    x11=1
    shift
fi
if (($# < 2)); then
    echo "usage: $0 [--x11] PREFIX DISC.iso [SECOND.img]" >&2
    exit 2
fi
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(readlink -f "$1")
images=("$(readlink -f "$2")")
if (($# > 2)); then
    images+=("$(readlink -f "$3")")
fi

rm -rf "$WINEPREFIX"
wineboot -i > /dev/null 2>&1
letters=(d e)
for i in "${!images[@]}"; do
    letter=${letters[$i]}
    # X: is the drive's root folder (it may stay empty), X:: its raw device: the image.
    mkdir -p "$WINEPREFIX/cdroot-$letter"
    ln -s "$WINEPREFIX/cdroot-$letter" "$WINEPREFIX/dosdevices/$letter:"
    ln -s "${images[$i]}" "$WINEPREFIX/dosdevices/$letter::"
    wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d cdrom /f > /dev/null
done
if ((x11 == 0)); then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f > /dev/null
else
    # No window manager runs on the test display: Wine must not wait for one to take each
    # window (two seconds whenever a window is hidden).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f > /dev/null
fi
# Wine's own fonts, its MS Sans Serif among them, in which the windows are laid out: this
# Wine does not look for them where its package puts them.
if compgen -G '/usr/share/wine/fonts/*' > /dev/null; then
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
fi
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d "" /f > /dev/null
# Drive types and drivers are read when wineserver next starts.
wineserver -w
