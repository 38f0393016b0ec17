#include "platform/Bitmap.h"

#include <algorithm>
#include <cstddef>

namespace platform {

Bitmap::Bitmap(std::int32_t width, std::int32_t height, Color fill) {
    Resize(width, height, fill);
}

Color Bitmap::Pixel(std::int64_t x, std::int64_t y) const {
    if (!Contains(x, y)) {
        return 0x000000;
    }
    return pixels_[static_cast<std::size_t>(y * width_ + x)];
}

void Bitmap::SetPixel(std::int64_t x, std::int64_t y, Color c) {
    if (Contains(x, y)) {
        pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
    }
}

void Bitmap::Resize(std::int32_t width, std::int32_t height, Color fill) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

void Bitmap::Fill(Color c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

std::span<Color> Bitmap::Row(std::int32_t y) {
    return std::span<Color>(pixels_).subspan(static_cast<std::size_t>(y) * width_,
                                             static_cast<std::size_t>(width_));
}

std::span<const Color> Bitmap::Row(std::int32_t y) const {
    return std::span<const Color>(pixels_).subspan(static_cast<std::size_t>(y) * width_,
                                                   static_cast<std::size_t>(width_));
}

}  // namespace platform
