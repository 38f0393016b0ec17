#include "ui/forms/GaugeCore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/Canvas.h"

namespace ui::forms {

namespace {

constexpr std::int32_t kMaxSide = 32767;
constexpr platform::Color kWhite = 0xFFFFFF;

std::string RangeMessage(std::int32_t low, std::int32_t high) {
    char text[64];
    std::snprintf(text, sizeof text, "Value must be between %d and %d", static_cast<int>(low),
                  static_cast<int>(high));
    return text;
}

// 32-bit sum that wraps instead of overflowing, as the range message's bounds do at the ends
// of the range.
std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Bar length: trunc(side x (P x 0.01)) in extended precision, where 0.01 lies just below one
// hundredth, so that a whole-number length can come out one pixel short.
std::int32_t BarLength(std::int32_t side, std::int32_t percent) {
    const long double fraction = percent * 0.01L;
    return static_cast<std::int32_t>(std::trunc(side * fraction));
}

// Rounded to the nearest integer, halves to the even neighbour.
std::int32_t Nearest(long double v) {
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(v),
                                                static_cast<long double>(-kMaxSide * 4),
                                                static_cast<long double>(kMaxSide * 4)));
}

}  // namespace

void TBltBitmap::MakeLike(const platform::Bitmap& other) {
    Resize(other.Width(), other.Height(), kWindowFrameColor);
}

void GaugeCore::SetMinValue(std::int32_t v) {
    if (v == minValue_) {
        return;
    }
    if (v > maxValue_ && !loading_) {
        throw EInvalidOperation(RangeMessage(-2147483647, WrappingAdd(maxValue_, -1)));
    }
    minValue_ = v;
    if (progress_ < v) {
        progress_ = v;
    }
    Redraw();
}

void GaugeCore::SetMaxValue(std::int32_t v) {
    if (v == maxValue_) {
        return;
    }
    if (v < minValue_ && !loading_) {
        throw EInvalidOperation(RangeMessage(WrappingAdd(minValue_, 1), 2147483647));
    }
    maxValue_ = v;
    if (progress_ > v) {
        progress_ = v;
    }
    Redraw();
}

void GaugeCore::SetProgress(std::int32_t v) {
    const std::int32_t before = PercentDone();
    if (v < minValue_) {
        v = minValue_;
    }
    if (v > maxValue_) {
        v = maxValue_;
    }
    if (v == progress_) {
        return;
    }
    progress_ = v;
    if (PercentDone() != before) {
        Redraw();
    }
}

void GaugeCore::SetKind(TGaugeKind v) {
    StoreAndRedraw(kind_, v);
}

void GaugeCore::SetShowText(bool v) {
    StoreAndRedraw(showText_, v);
}

void GaugeCore::SetBorderStyle(TGaugeBorderStyle v) {
    StoreAndRedraw(borderStyle_, v);
}

void GaugeCore::SetForeColor(platform::Color v) {
    StoreAndRedraw(foreColor_, v);
}

void GaugeCore::SetBackColor(platform::Color v) {
    StoreAndRedraw(backColor_, v);
}

void GaugeCore::SetColor(platform::Color v) {
    StoreAndRedraw(color_, v);
}

void GaugeCore::SetSize(std::int32_t width, std::int32_t height) {
    width = std::clamp(width, 0, kMaxSide);
    height = std::clamp(height, 0, kMaxSide);
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        Redraw();
    }
}

std::int32_t GaugeCore::PercentDone() const {
    const std::int64_t range = std::int64_t{maxValue_} - minValue_;
    if (range == 0) {
        return 0;
    }
    // Exact in 64 bits: the quotient truncated toward zero.
    return static_cast<std::int32_t>((std::int64_t{progress_} - minValue_) * 100 / range);
}

void GaugeCore::Redraw() {
    ++redrawCount_;
    if (repaint_) {
        repaint_();
    }
}

platform::Bitmap GaugeCore::Paint() const {
    const platform::Rect whole{0, 0, width_, height_};
    platform::Bitmap image(width_, height_);
    platform::Canvas imageCanvas(image);
    imageCanvas.FillBlack(whole);

    platform::Rect r = whole;
    if (borderStyle_ == bsSingle) {
        r = {1, 1, width_ - 1, height_ - 1};
    }

    TBltBitmap overlay;
    overlay.MakeLike(image);
    platform::Canvas(overlay).FillBlack(whole);
    PaintStyle(overlay, r.left, r.top, r.right, r.bottom);
    // The image is black, so this leaves the overlay's pixels: black outside R.
    imageCanvas.Draw(0, 0, overlay, platform::RasterOp::Xor);

    if (showText_) {
        const std::string text = std::to_string(PercentDone()) + "%";
        TBltBitmap letters;
        letters.MakeLike(image);
        platform::Canvas canvas(letters);
        canvas.FillBlack(whole);
        canvas.SetBrushStyle(platform::BrushStyle::Clear);
        canvas.SetFontColor(kWhite);
        // Centred in R, but placed at absolute coordinates.
        const std::int32_t x = (r.right - r.left + 1 - canvas.TextWidth(text)) / 2;
        const std::int32_t y = (r.bottom - r.top + 1 - canvas.TextHeight(text)) / 2;
        canvas.SetClipRect(r);
        canvas.TextOut(x, y, text);
        // White letters invert whatever lies beneath them.
        imageCanvas.Draw(0, 0, letters, platform::RasterOp::Xor);
    }
    return image;
}

void GaugeCore::DialFace(platform::Canvas& c, const platform::Rect& r) const {
    c.SetBrushColor(color_);
    c.FillRect(r);
    c.SetBrushColor(backColor_);
    c.SetPenColor(foreColor_);
    c.SetPenWidth(1);
}

void GaugeCore::PaintStyle(platform::Bitmap& overlay, std::int32_t left, std::int32_t top,
                           std::int32_t right, std::int32_t bottom) const {
    platform::Canvas c(overlay);
    const platform::Rect r{left, top, right, bottom};
    const std::int32_t percent = PercentDone();
    const std::int32_t border = borderStyle_ == bsSingle ? 1 : 0;
    switch (kind_) {
        case gkText:
            c.SetBrushColor(backColor_);
            c.FillRect(r);
            break;
        case gkHorizontalBar: {
            const std::int32_t w = right - left + 1;
            const std::int32_t h = bottom - top + 1;
            c.SetBrushColor(backColor_);
            c.FillRect(r);
            c.SetPenColor(foreColor_);
            c.SetPenWidth(1);
            c.SetBrushColor(foreColor_);
            const std::int32_t f = std::min(BarLength(w, percent), w);
            if (f >= 1) {
                c.FillRect({left, top, f, h});
            }
            break;
        }
        case gkVerticalBar: {
            const std::int32_t w = right - left + 1;
            const std::int32_t h = bottom - top + 1;
            c.SetBrushColor(backColor_);
            c.FillRect(r);
            c.SetPenColor(foreColor_);
            c.SetPenWidth(1);
            c.SetBrushColor(foreColor_);
            std::int32_t f = BarLength(h, percent);
            if (f >= h) {
                f = h - 1;
            }
            c.FillRect({left, h - f, w, h});
            break;
        }
        case gkPie: {
            const std::int32_t w = right - left + border;
            const std::int32_t h = bottom - top + border;
            DialFace(c, r);
            c.Ellipse(left, top, w, h);
            if (percent > 0) {
                c.SetBrushColor(foreColor_);
                const std::int32_t mx = w / 2;
                const std::int32_t my = h / 2;
                const long double a = (percent / 50.0L + 0.5L) * std::numbers::pi_v<long double>;
                c.Pie(left, top, w, h, Nearest((1 - std::cos(a)) * mx),
                      Nearest((1 - std::sin(a)) * my), mx, 0);
            }
            break;
        }
        case gkNeedle: {
            const std::int32_t w = right - left + border;
            const std::int32_t h = bottom - top + border;
            DialFace(c, r);
            c.Pie(left, top, w, 2 * h - 1, w + left, bottom - 1, left, bottom - 1);
            c.MoveTo(left, bottom);
            c.LineTo(w + left, bottom);
            if (percent > 0) {
                c.SetPenColor(foreColor_);
                const std::int32_t centre = width_ / 2;
                const long double a = percent / 100.0L * std::numbers::pi_v<long double>;
                c.MoveTo(centre, bottom - 1);
                c.LineTo(Nearest((1 - std::cos(a)) * centre),
                         Nearest((1 - std::sin(a)) * (bottom - 1)));
            }
            break;
        }
    }
}

}  // namespace ui::forms
