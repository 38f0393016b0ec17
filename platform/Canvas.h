#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/BitmapFont.h"
#include "platform/Color.h"

namespace platform {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Left, top, right, bottom; right and bottom are exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

enum class PenStyle { Solid, Dotted };
enum class BrushStyle { Solid, Clear };
enum class RasterOp { Copy, Xor };

// Drawing on a bitmap with the state and the pixel rules of the platform's canvas: a pen for
// lines and outlines, a brush for fills and text backgrounds, a font colour and a current pen
// position. Every primitive clips to the bitmap (and to the clip rectangle, if one is set)
// before it rasterises, so any 32-bit coordinate is safe and costs no more than the visible
// part.
class Canvas {
  public:
    explicit Canvas(Bitmap& target);

    Bitmap& Target() { return *target_; }
    const Bitmap& Target() const { return *target_; }

    Color PenColor() const { return penColor_; }
    void SetPenColor(Color c) { penColor_ = c; }
    // Every pen is one pixel wide; the width is kept for callers that set and read it.
    std::int32_t PenWidth() const { return penWidth_; }
    void SetPenWidth(std::int32_t w) { penWidth_ = w; }
    PenStyle GetPenStyle() const { return penStyle_; }
    void SetPenStyle(PenStyle s) { penStyle_ = s; }

    Color BrushColor() const { return brushColor_; }
    // Choosing a colour makes a clear brush solid again, as the platform's brush does.
    void SetBrushColor(Color c) {
        brushColor_ = c;
        brushStyle_ = BrushStyle::Solid;
    }
    BrushStyle GetBrushStyle() const { return brushStyle_; }
    void SetBrushStyle(BrushStyle s) { brushStyle_ = s; }

    Color FontColor() const { return fontColor_; }
    void SetFontColor(Color c) { fontColor_ = c; }
    const BitmapFont& Font() const { return *font_; }

    Point PenPos() const { return penPos_; }
    void MoveTo(std::int32_t x, std::int32_t y) { penPos_ = {x, y}; }
    // A line from the pen position to (x, y), the end point itself left unpainted; the pen
    // position becomes (x, y). A dotted pen paints 3 pixels on, 3 off, the gaps in the brush
    // colour unless the brush is clear.
    void LineTo(std::int32_t x, std::int32_t y);

    // Outline with the pen, inside with the brush.
    void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // The wedge of the ellipse in the box, from the radial through (x1, y1) counter-clockwise
    // to the radial through (x2, y2); when both radials coincide, the whole ellipse.
    void Pie(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

    // With the brush; a clear brush fills nothing.
    void FillRect(const Rect& r);
    // The blackness raster operation.
    void FillBlack(const Rect& r);
    // Combines `source` with its top left corner at (x, y) into the target.
    void Draw(std::int32_t x, std::int32_t y, const Bitmap& source, RasterOp op = RasterOp::Copy);

    // Fills the text's cell (its width x the cell height) with the brush unless the brush is
    // clear, draws the glyphs in the font colour and moves the pen position to
    // (x + width, y).
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text);
    std::int32_t TextWidth(std::string_view text) const;
    std::int32_t TextHeight(std::string_view text) const;

    // Later drawing stays inside r as well as inside the bitmap.
    void SetClipRect(const Rect& r);
    void ClearClipRect() { clipped_ = false; }

  private:
    struct Box {
        std::int64_t left, top, right, bottom;
    };
    Box Visible() const;
    void FillBox(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                 Color c);
    void PaintLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
    void PaintRegion(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     bool pie, double startAngle, double sweep);

    Bitmap* target_;
    const BitmapFont* font_;
    Color penColor_ = 0x000000;
    std::int32_t penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    Color brushColor_ = 0xFFFFFF;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    Color fontColor_ = 0x000000;
    Point penPos_;
    bool clipped_ = false;
    Rect clip_;
};

}  // namespace platform
