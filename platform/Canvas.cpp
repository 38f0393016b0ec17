#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Puts a box's corners in order; false when it holds no pixel.
bool Normalize(std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom) {
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    return left != right && top != bottom;
}

// The minor offset of step t of a line of n steps that moves dMinor along its minor axis,
// (2 t dMinor + n - 1) / 2n, and what is left of that division. The sum can pass 64 bits,
// but t dMinor cannot: t < n and dMinor <= n, and both are below 2^32.
struct MinorStep {
    std::int64_t offset;
    std::int64_t rest;
};

MinorStep MinorOffset(std::int64_t t, std::int64_t dMinor, std::int64_t n) {
    const std::uint64_t product =
        static_cast<std::uint64_t>(t) * static_cast<std::uint64_t>(dMinor);
    const auto un = static_cast<std::uint64_t>(n);
    const std::uint64_t whole = product / un;
    const std::uint64_t part = 2 * (product % un) + un - 1;  // below 3n
    return {static_cast<std::int64_t>(whole + part / (2 * un)),
            static_cast<std::int64_t>(part % (2 * un))};
}

std::int32_t SaturateToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Angle of (x, y) about (cx, cy), counter-clockwise as seen on the screen (y grows down).
double ScreenAngle(double x, double y, double cx, double cy) {
    return std::atan2(cy - y, x - cx);
}

}  // namespace

Canvas::Canvas(Bitmap& target) : target_(&target), font_(&ChartFont()) {}

void Canvas::SetClipRect(const Rect& r) {
    clip_ = r;
    clipped_ = true;
}

Canvas::Box Canvas::Visible() const {
    Box b{0, 0, target_->Width(), target_->Height()};
    if (clipped_) {
        b.left = std::max<std::int64_t>(b.left, clip_.left);
        b.top = std::max<std::int64_t>(b.top, clip_.top);
        b.right = std::min<std::int64_t>(b.right, clip_.right);
        b.bottom = std::min<std::int64_t>(b.bottom, clip_.bottom);
    }
    return b;
}

void Canvas::FillBox(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                     Color c) {
    const Box v = Visible();
    left = std::max(left, v.left);
    top = std::max(top, v.top);
    right = std::min(right, v.right);
    bottom = std::min(bottom, v.bottom);
    if (left >= right) {
        return;
    }
    if (top >= bottom) {
        return;
    }
    // One row is filled pixel by pixel and copied into the others: a large fill (the whole
    // chart at every redraw) then costs about one memory copy.
    const auto width = static_cast<std::size_t>(right - left);
    const auto first =
        target_->Row(static_cast<std::int32_t>(top)).subspan(static_cast<std::size_t>(left), width);
    std::fill(first.begin(), first.end(), c);
    for (std::int64_t y = top + 1; y < bottom; ++y) {
        const auto row = target_->Row(static_cast<std::int32_t>(y));
        std::memcpy(row.data() + left, first.data(), width * sizeof(Color));
    }
}

void Canvas::LineTo(std::int32_t x, std::int32_t y) {
    PaintLine(penPos_.x, penPos_.y, x, y);
    penPos_ = {x, y};
}

// Bresenham along the major axis: the pixel of step t (0 <= t < n, the end point excluded)
// lies t along the major axis and round(t * dMinor / n) along the minor one, halves
// rounding back towards the start. The pixel of any step follows from t alone, so the steps
// that fall outside the visible box are skipped without being walked, and the painted
// pixels are exactly those of the unclipped line.
void Canvas::PaintLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0) {
        return;
    }
    const std::int64_t dMinor = xMajor ? std::abs(dy) : std::abs(dx);
    const std::int64_t major0 = xMajor ? x0 : y0;
    const std::int64_t minor0 = xMajor ? y0 : x0;
    const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;

    const Box v = Visible();
    if (v.left >= v.right || v.top >= v.bottom) {
        return;
    }
    const std::int64_t majorLo = xMajor ? v.left : v.top;
    const std::int64_t majorHi = (xMajor ? v.right : v.bottom) - 1;
    const std::int64_t minorLo = xMajor ? v.top : v.left;
    const std::int64_t minorHi = (xMajor ? v.bottom : v.right) - 1;

    // Steps whose major coordinate is visible.
    std::int64_t t0 = majorSign > 0 ? majorLo - major0 : major0 - majorHi;
    std::int64_t t1 = majorSign > 0 ? majorHi - major0 : major0 - majorLo;
    t0 = std::max<std::int64_t>(t0, 0);
    t1 = std::min(t1, n - 1);
    if (t0 > t1) {
        return;
    }

    // Steps whose minor offset is visible; the offset never decreases with t.
    const std::int64_t offLo = minorSign > 0 ? minorLo - minor0 : minor0 - minorHi;
    const std::int64_t offHi = minorSign > 0 ? minorHi - minor0 : minor0 - minorLo;
    auto offsetAt = [&](std::int64_t t) { return MinorOffset(t, dMinor, n).offset; };
    if (offsetAt(t0) > offHi || offsetAt(t1) < offLo) {
        return;
    }
    if (offsetAt(t0) < offLo) {  // first step with an offset of at least offLo
        std::int64_t lo = t0;
        std::int64_t hi = t1;
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (offsetAt(mid) >= offLo) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        t0 = lo;
    }
    if (offsetAt(t1) > offHi) {  // last step with an offset of at most offHi
        std::int64_t lo = t0;
        std::int64_t hi = t1;
        while (lo < hi) {
            const std::int64_t mid = hi - (hi - lo) / 2;
            if (offsetAt(mid) <= offHi) {
                lo = mid;
            } else {
                hi = mid - 1;
            }
        }
        t1 = lo;
    }

    const MinorStep start = MinorOffset(t0, dMinor, n);
    std::int64_t offset = start.offset;
    std::int64_t rest = start.rest;
    const std::int64_t twoN64 = 2 * n;
    const bool dotted = penStyle_ == PenStyle::Dotted;
    const bool opaqueGaps = brushStyle_ == BrushStyle::Solid;
    for (std::int64_t t = t0; t <= t1; ++t) {
        const std::int64_t major = major0 + majorSign * t;
        const std::int64_t minor = minor0 + minorSign * offset;
        const std::int64_t px = xMajor ? major : minor;
        const std::int64_t py = xMajor ? minor : major;
        if (!dotted || t % 6 < 3) {
            target_->SetPixel(px, py, penColor_);
        } else if (opaqueGaps) {
            target_->SetPixel(px, py, brushColor_);
        }
        rest += 2 * dMinor;
        if (rest >= twoN64) {
            rest -= twoN64;
            ++offset;
        }
    }
}

void Canvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                       std::int32_t bottom) {
    if (!Normalize(left, top, right, bottom)) {
        return;
    }
    const std::int64_t l = left;
    const std::int64_t t = top;
    const std::int64_t r = right;
    const std::int64_t b = bottom;
    if (brushStyle_ == BrushStyle::Solid) {
        FillBox(l + 1, t + 1, r - 1, b - 1, brushColor_);
    }
    FillBox(l, t, r, t + 1, penColor_);
    FillBox(l, b - 1, r, b, penColor_);
    FillBox(l, t, l + 1, b, penColor_);
    FillBox(r - 1, t, r, b, penColor_);
}

void Canvas::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    PaintRegion(left, top, right, bottom, false, 0.0, 0.0);
}

void Canvas::Pie(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const double cx = (static_cast<double>(left) + right) / 2.0;
    const double cy = (static_cast<double>(top) + bottom) / 2.0;
    // Points name pixels; their centres fix the radials.
    const double start = ScreenAngle(x1 + 0.5, y1 + 0.5, cx, cy);
    const double end = ScreenAngle(x2 + 0.5, y2 + 0.5, cx, cy);
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double sweep = std::fmod(end - start + 2.0 * kTurn, kTurn);
    if (sweep < 1e-12) {
        sweep = kTurn;
    }
    PaintRegion(left, top, right, bottom, true, start, sweep);
}

// Ellipses and pies as regions of pixel centres: the pixels of the region that touch a
// pixel outside it (left, right, above or below) form the outline in the pen colour, the
// others take the brush.
void Canvas::PaintRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, bool pie, double startAngle, double sweep) {
    if (!Normalize(left, top, right, bottom)) {
        return;
    }
    const Box v = Visible();
    // The visible part of the box and one pixel around it, for the outline test.
    const std::int64_t x0 = std::max<std::int64_t>(left, v.left - 1);
    const std::int64_t x1 = std::min<std::int64_t>(right, v.right + 1);
    const std::int64_t y0 = std::max<std::int64_t>(top, v.top - 1);
    const std::int64_t y1 = std::min<std::int64_t>(bottom, v.bottom + 1);
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const double cx = (static_cast<double>(left) + right) / 2.0;
    const double cy = (static_cast<double>(top) + bottom) / 2.0;
    const double rx = (static_cast<double>(right) - left) / 2.0;
    const double ry = (static_cast<double>(bottom) - top) / 2.0;
    constexpr double kTurn = 2.0 * std::numbers::pi;
    auto inside = [&](std::int64_t x, std::int64_t y) {
        const double px = static_cast<double>(x) + 0.5;
        const double py = static_cast<double>(y) + 0.5;
        const double ex = (px - cx) / rx;
        const double ey = (py - cy) / ry;
        if (ex * ex + ey * ey > 1.0) {
            return false;
        }
        if (!pie || (px == cx && py == cy)) {
            return true;
        }
        const double a = std::fmod(ScreenAngle(px, py, cx, cy) - startAngle + 2.0 * kTurn, kTurn);
        return a <= sweep + 1e-9;
    };
    const auto w = static_cast<std::size_t>(x1 - x0);
    const auto h = static_cast<std::size_t>(y1 - y0);
    std::vector<char> in(w * h);
    for (std::size_t j = 0; j < h; ++j) {
        for (std::size_t i = 0; i < w; ++i) {
            in[j * w + i] =
                inside(x0 + static_cast<std::int64_t>(i), y0 + static_cast<std::int64_t>(j)) ? 1
                                                                                             : 0;
        }
    }
    auto at = [&](std::int64_t x, std::int64_t y) {
        if (x < x0 || x >= x1 || y < y0 || y >= y1) {
            return false;
        }
        return in[static_cast<std::size_t>(y - y0) * w + static_cast<std::size_t>(x - x0)] != 0;
    };
    const bool fill = brushStyle_ == BrushStyle::Solid;
    for (std::int64_t y = std::max(y0, v.top); y < std::min(y1, v.bottom); ++y) {
        for (std::int64_t x = std::max(x0, v.left); x < std::min(x1, v.right); ++x) {
            if (!at(x, y)) {
                continue;
            }
            const bool edge = !at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1);
            if (edge) {
                target_->SetPixel(x, y, penColor_);
            } else if (fill) {
                target_->SetPixel(x, y, brushColor_);
            }
        }
    }
}

void Canvas::FillRect(const Rect& r) {
    if (brushStyle_ == BrushStyle::Solid) {
        FillBox(r.left, r.top, r.right, r.bottom, brushColor_);
    }
}

void Canvas::FillBlack(const Rect& r) {
    FillBox(r.left, r.top, r.right, r.bottom, 0x000000);
}

void Canvas::Draw(std::int32_t x, std::int32_t y, const Bitmap& source, RasterOp op) {
    const Box v = Visible();
    const std::int64_t left = std::max<std::int64_t>(x, v.left);
    const std::int64_t top = std::max<std::int64_t>(y, v.top);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + source.Width(), v.right);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + source.Height(), v.bottom);
    for (std::int64_t ty = top; ty < bottom; ++ty) {
        auto dst = target_->Row(static_cast<std::int32_t>(ty));
        auto src = source.Row(static_cast<std::int32_t>(ty - y));
        for (std::int64_t tx = left; tx < right; ++tx) {
            const Color s = src[static_cast<std::size_t>(tx - x)];
            Color& d = dst[static_cast<std::size_t>(tx)];
            d = op == RasterOp::Xor ? (d ^ s) : s;
        }
    }
}

void Canvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    const std::int64_t width = platform::TextWidth(*font_, text);
    const std::int64_t cell = font_->CellHeight();
    if (brushStyle_ == BrushStyle::Solid) {
        FillBox(x, y, x + width, y + cell, brushColor_);
    }
    const Box v = Visible();
    if (y < v.bottom && y + cell > v.top) {
        std::int64_t pen = x;
        for (char c : text) {
            if (pen - 16 >= v.right) {
                break;  // everything further lies right of the picture
            }
            const Glyph& g = font_->GlyphOf(c);
            for (std::int32_t row = 0; row < g.height; ++row) {
                const std::int64_t py = std::int64_t{y} + g.top + row;
                if (py < v.top || py >= v.bottom) {
                    continue;
                }
                for (std::int32_t col = 0; col < g.width; ++col) {
                    const std::int64_t px = pen + g.left + col;
                    if (px >= v.left && px < v.right && font_->Ink(g, row, col)) {
                        target_->SetPixel(px, py, fontColor_);
                    }
                }
            }
            pen += g.advance;
        }
    }
    penPos_ = {SaturateToInt32(x + width), y};
}

std::int32_t Canvas::TextWidth(std::string_view text) const {
    return SaturateToInt32(platform::TextWidth(*font_, text));
}

std::int32_t Canvas::TextHeight(std::string_view /*text*/) const {
    return font_->CellHeight();
}

}  // namespace platform
