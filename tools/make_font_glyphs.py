#!/usr/bin/env python3
"""Writes platform/FontGlyphs.cpp, the chart's bitmap font, from an X11 PCF bitmap font.

The default source is the 100-dpi 8-point Helvetica of Debian's xfonts-100dpi (licence in
tools/fonts/LICENSE-adobe-helvetica-100dpi). Its ISO 10646 edition covers every printable
Windows-1252 character. Texts are 8-bit strings, so the table is indexed by the Windows-1252
byte; bytes without a printable character get the advance of a space and no ink.

Usage: make_font_glyphs.py [font.pcf.gz] > platform/FontGlyphs.cpp
"""

import gzip
import struct
import sys

DEFAULT_FONT = "/usr/share/fonts/X11/100dpi/helvR08.pcf.gz"

# The text cell: rows above the baseline and below it. Glyph rows that fall outside are cut.
CELL_ASCENT = 11
CELL_DESCENT = 2

PCF_PROPERTIES = 1 << 0
PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BDF_ACCELERATORS = 1 << 8
PCF_COMPRESSED_METRICS = 0x100


class Table:
    def __init__(self, data, offset):
        self.data = data
        (self.format,) = struct.unpack_from("<i", data, offset)
        self.big = bool(self.format & 4)
        self.pos = offset + 4

    def read(self, fmt):
        fmt = (">" if self.big else "<") + fmt
        values = struct.unpack_from(fmt, self.data, self.pos)
        self.pos += struct.calcsize(fmt)
        return values if len(values) > 1 else values[0]


def load_pcf(path):
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    if data[:4] != b"\x01fcp":
        sys.exit(f"{path}: not a PCF font")
    (count,) = struct.unpack_from("<i", data, 4)
    tables = {}
    for i in range(count):
        kind, _fmt, _size, offset = struct.unpack_from("<iiii", data, 8 + 16 * i)
        tables[kind] = offset

    t = Table(data, tables[PCF_METRICS])
    metrics = []
    if t.format & PCF_COMPRESSED_METRICS:
        n = t.read("h")
        for _ in range(n):
            lsb, rsb, width, ascent, descent = (v - 0x80 for v in t.read("5B"))
            metrics.append((lsb, rsb, width, ascent, descent))
    else:
        n = t.read("i")
        for _ in range(n):
            lsb, rsb, width, ascent, descent, _attr = t.read("5hH")
            metrics.append((lsb, rsb, width, ascent, descent))

    t = Table(data, tables[PCF_BITMAPS])
    n = t.read("i")
    offsets = [t.read("i") for _ in range(n)]
    sizes = [t.read("i") for _ in range(4)]
    pad = 1 << (t.format & 3)
    msbit = bool(t.format & 8)
    if (t.format >> 4) & 3:
        sys.exit("only byte scan units are handled")
    base = t.pos
    blob = data[base : base + sizes[t.format & 3]]

    def glyph_rows(index):
        lsb, rsb, _w, ascent, descent = metrics[index]
        width = rsb - lsb
        stride = (width + 7) // 8
        stride = (stride + pad - 1) // pad * pad
        rows = []
        for r in range(ascent + descent):
            start = offsets[index] + r * stride
            bits = 0
            for c in range(width):
                byte = blob[start + c // 8]
                bit = (byte >> (7 - c % 8)) & 1 if msbit else (byte >> (c % 8)) & 1
                bits = (bits << 1) | bit
            rows.append(bits)
        return rows

    t = Table(data, tables[PCF_BDF_ENCODINGS])
    min2, max2, min1, max1, _default = t.read("5h")
    span2 = max2 - min2 + 1
    encoding = {}
    for b1 in range(min1, max1 + 1):
        for b2 in range(min2, max2 + 1):
            index = t.read("H")
            if index != 0xFFFF:
                encoding[(b1 << 8) | b2] = index

    return metrics, glyph_rows, encoding


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_FONT
    metrics, glyph_rows, encoding = load_pcf(path)

    space = encoding[0x20]
    glyphs = []
    rows_table = []
    for byte in range(256):
        try:
            char = bytes([byte]).decode("cp1252")
        except UnicodeDecodeError:
            char = None
        index = None
        if char is not None and (char.isprintable() or char in "\xa0\xad"):
            index = encoding.get(ord(char))
            if index is None:
                sys.exit(f"{path}: no glyph for U+{ord(char):04X}")
        if index is None:
            glyphs.append((metrics[space][2], 0, 0, 0, 0, len(rows_table), char))
            continue
        lsb, rsb, advance, ascent, descent = metrics[index]
        width = rsb - lsb
        if width > 16:
            sys.exit(f"U+{ord(char):04X} is wider than 16 pixels")
        rows = glyph_rows(index)
        top = CELL_ASCENT - ascent
        # Keep only the rows inside the cell.
        while top < 0 and rows:
            rows.pop(0)
            top += 1
        while rows and top + len(rows) > CELL_ASCENT + CELL_DESCENT:
            rows.pop()
        # Left-align the bits in 16-bit rows: bit 15 is the glyph's first column.
        rows = [r << (16 - width) for r in rows] if width else []
        if not any(rows):
            rows = []
        glyphs.append((advance, lsb, top if rows else 0, width if rows else 0, len(rows),
                       len(rows_table), char))
        rows_table.extend(rows)

    out = sys.stdout
    out.write("// Generated by tools/make_font_glyphs.py from the 100-dpi 8-point Helvetica\n")
    out.write("// bitmap font of xfonts-100dpi; see tools/fonts/LICENSE-adobe-helvetica-100dpi.\n")
    out.write("// Do not edit: run the script again.\n\n")
    out.write('#include "platform/BitmapFont.h"\n\n')
    out.write("namespace platform {\n\nnamespace {\n\n")
    out.write(f"constexpr std::uint16_t kRows[{max(1, len(rows_table))}] = {{\n")
    for i in range(0, len(rows_table), 10):
        chunk = ", ".join(f"0x{r:04X}" for r in rows_table[i : i + 10])
        out.write(f"    {chunk},\n")
    if not rows_table:
        out.write("    0,\n")
    out.write("};\n\n")
    out.write("// advance, left, top, width, height, first row; indexed by the Windows-1252 byte.\n")
    out.write("constexpr Glyph kGlyphs[256] = {\n")
    for byte, (adv, left, top, width, height, first, char) in enumerate(glyphs):
        if char is None or not (char.isprintable() or char in "\xa0\xad"):
            name = "none"
        else:
            name = f"U+{ord(char):04X}"
        out.write(f"    {{{adv}, {left}, {top}, {width}, {height}, {first}}},  // 0x{byte:02X} {name}\n")
    out.write("};\n\n}  // namespace\n\n")
    out.write("const BitmapFont& ChartFont() {\n")
    out.write(f"    static constexpr BitmapFont kFont{{{CELL_ASCENT}, {CELL_DESCENT}, kGlyphs, kRows}};\n")
    out.write("    return kFont;\n}\n\n}  // namespace platform\n")


if __name__ == "__main__":
    main()
