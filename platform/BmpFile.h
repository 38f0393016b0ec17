#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Bitmap.h"

namespace platform {

// The bytes of a Windows bitmap file: BITMAPFILEHEADER, BITMAPINFOHEADER, then 24-bit pixels
// in blue, green, red order, rows bottom-up, each row padded to a multiple of 4 bytes.
std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap);

// Writes the picture as a Windows bitmap file, whatever the name's extension, whole or not at
// all (WriteWholeFile). The reason when the file could not be written.
std::error_code WriteBmpFile(const std::string& path, const Bitmap& bitmap);

// The fields of the two headers that a reader needs.
struct BmpHeader {
    std::uint32_t fileSize = 0;
    std::uint32_t pixelOffset = 0;
    std::uint32_t infoSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows bottom-up
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
};

// Reads back what EncodeBmp writes: uncompressed 24-bit pictures, bottom-up or top-down.
// Empty when the bytes are not such a picture.
std::optional<BmpHeader> DecodeBmpHeader(std::span<const std::uint8_t> bytes);
std::optional<Bitmap> DecodeBmp(std::span<const std::uint8_t> bytes);
std::optional<Bitmap> LoadBmpFile(const std::string& path);

}  // namespace platform
