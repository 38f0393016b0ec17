#!/usr/bin/env python3
"""Writes the program's icon as a Windows icon file: one 32 x 32 image of 256 colours, made from
the XPM picture the Qt window shows (ui/forms/ProgramIcon.xpm), see-through where the XPM says None.

Usage: tools/xpm_to_ico.py ICON.xpm OUTPUT.ico
"""
import re
import struct
import sys


def read_xpm(path):
    """The picture's rows of (red, green, blue) or None, from an XPM of one character a pixel."""
    with open(path, encoding='ascii') as f:
        strings = re.findall(r'"((?:[^"\\]|\\.)*)"', f.read())
    width, height, colours, chars = (int(v) for v in strings[0].split()[:4])
    if chars != 1:
        sys.exit(f'{path}: expected one character a pixel')
    palette = {}
    for line in strings[1:1 + colours]:
        key, value = line[0], line[1:].split()[-1]
        palette[key] = None if value == 'None' else tuple(bytes.fromhex(value.lstrip('#')))
    rows = [[palette[c] for c in row[:width]] for row in strings[1 + colours:1 + colours + height]]
    if len(rows) != height or any(len(r) != width for r in rows):
        sys.exit(f'{path}: the picture is shorter than its header says')
    return width, height, rows


def icon_file(width, height, rows):
    colours = sorted({p for row in rows for p in row if p is not None})
    if len(colours) > 255:
        sys.exit('more colours than a 256-colour icon holds')
    palette = [(0, 0, 0)] + colours  # index 0: behind the see-through pixels
    index = {c: i for i, c in enumerate(palette)}
    palette += [(0, 0, 0)] * (256 - len(palette))

    xor_stride = (width + 3) // 4 * 4
    and_stride = ((width + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bottom-up
        xor_rows.append(bytes(0 if p is None else index[p] for p in row).ljust(xor_stride, b'\0'))
        mask = 0
        for x, p in enumerate(row):
            if p is None:
                mask |= 1 << (and_stride * 8 - 1 - x)
        and_rows.append(mask.to_bytes(and_stride, 'big'))
    pixels = b''.join(xor_rows) + b''.join(and_rows)

    # The image's header counts the colour and the mask rows together: twice the height.
    header = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, 8, 0, len(pixels), 0, 0,
                         256, 0)
    colour_table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    image = header + colour_table + pixels
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 8, len(image),
                        len(directory) + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, rows = read_xpm(sys.argv[1])
    with open(sys.argv[2], 'wb') as f:
        f.write(icon_file(width, height, rows))


if __name__ == '__main__':
    main()
