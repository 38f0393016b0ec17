#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

// One character of a bitmap font. Its ink is `height` rows of `width` bits, starting at row
// `top` of the text cell and `left` pixels right of the pen.
struct Glyph {
    std::uint8_t advance;    // how far the pen moves
    std::int8_t left;        // first ink column relative to the pen
    std::uint8_t top;        // first ink row within the cell
    std::uint8_t width;      // ink columns, at most 16
    std::uint8_t height;     // ink rows
    std::uint16_t firstRow;  // index of the first ink row in BitmapFont::rows
};

// A proportional bitmap font for 8-bit texts, indexed by the Windows-1252 byte.
struct BitmapFont {
    std::int32_t ascent;   // cell rows above the baseline
    std::int32_t descent;  // cell rows from the baseline down
    std::span<const Glyph, 256> glyphs;
    std::span<const std::uint16_t> rows;  // one per ink row; bit 15 is the first column

    constexpr std::int32_t CellHeight() const { return ascent + descent; }
    constexpr const Glyph& GlyphOf(char c) const { return glyphs[static_cast<unsigned char>(c)]; }
    constexpr bool Ink(const Glyph& g, std::int32_t row, std::int32_t column) const {
        return ((rows[g.firstRow + static_cast<std::size_t>(row)] >> (15 - column)) & 1U) != 0;
    }
};

// The font of the chart and the gauge: 8-point Helvetica at 100 dpi, a cell of 13 rows,
// digits 6 pixels wide and blanks 3, so that numbers line up under the chart's grid.
const BitmapFont& ChartFont();

// The sum of the advances; 64 bits so that no text can overflow it.
std::int64_t TextWidth(const BitmapFont& font, std::string_view text);

}  // namespace platform
