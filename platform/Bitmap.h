#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Color.h"

namespace platform {

// A picture of width x height pixels of 24-bit colour, rows top-down.
class Bitmap {
  public:
    Bitmap() = default;
    // Negative sizes give an empty picture.
    Bitmap(std::int32_t width, std::int32_t height, Color fill = 0x000000);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool Contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    // Reading outside the picture gives black; writing outside it does nothing.
    Color Pixel(std::int64_t x, std::int64_t y) const;
    void SetPixel(std::int64_t x, std::int64_t y, Color c);

    // Changes the size; every pixel becomes `fill`.
    void Resize(std::int32_t width, std::int32_t height, Color fill = 0x000000);
    void Fill(Color c);

    // Row y (0 <= y < Height()), Width() pixels.
    std::span<Color> Row(std::int32_t y);
    std::span<const Color> Row(std::int32_t y) const;
    std::span<const Color> Pixels() const { return pixels_; }

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

  private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<Color> pixels_;
};

}  // namespace platform
