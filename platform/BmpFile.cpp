#include "platform/BmpFile.h"

#include <cstddef>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/AtomicFile.h"
#include "platform/LittleEndian.h"

namespace platform {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMeter = 3780;  // 96 dots per inch

std::uint32_t RowStride(std::int64_t width) {
    return static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap) {
    const std::uint32_t stride = RowStride(bitmap.Width());
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(bitmap.Height());
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);

    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, offset);

    // BITMAPINFOHEADER
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(bitmap.Width()));
    Put32(out, static_cast<std::uint32_t>(bitmap.Height()));
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, 0);   // BI_RGB, uncompressed
    Put32(out, imageSize);
    Put32(out, kPixelsPerMeter);
    Put32(out, kPixelsPerMeter);
    Put32(out, 0);  // colours used
    Put32(out, 0);  // important colours

    const std::uint32_t padding = stride - static_cast<std::uint32_t>(bitmap.Width()) * 3;
    for (std::int32_t y = bitmap.Height() - 1; y >= 0; --y) {
        for (Color c : bitmap.Row(y)) {
            out.push_back(BlueOf(c));
            out.push_back(GreenOf(c));
            out.push_back(RedOf(c));
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}

std::error_code WriteBmpFile(const std::string& path, const Bitmap& bitmap) {
    return WriteWholeFile(path, EncodeBmp(bitmap));
}

std::optional<BmpHeader> DecodeBmpHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    BmpHeader h;
    h.fileSize = Le32(bytes, 2);
    h.pixelOffset = Le32(bytes, 10);
    h.infoSize = Le32(bytes, 14);
    h.width = static_cast<std::int32_t>(Le32(bytes, 18));
    h.height = static_cast<std::int32_t>(Le32(bytes, 22));
    h.planes = Le16(bytes, 26);
    h.bitCount = Le16(bytes, 28);
    h.compression = Le32(bytes, 30);
    h.imageSize = Le32(bytes, 34);
    return h;
}

std::optional<Bitmap> DecodeBmp(std::span<const std::uint8_t> bytes) {
    const auto h = DecodeBmpHeader(bytes);
    if (!h || h->infoSize < kInfoHeaderSize || h->bitCount != 24 || h->compression != 0 ||
        h->width < 0 || h->height == std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    const bool bottomUp = h->height > 0;
    const std::int64_t height = bottomUp ? h->height : -std::int64_t{h->height};
    const std::uint64_t stride = RowStride(h->width);
    if (h->pixelOffset > bytes.size() ||
        (bytes.size() - h->pixelOffset) / (stride == 0 ? 1 : stride) <
            static_cast<std::uint64_t>(stride == 0 ? 0 : height)) {
        return std::nullopt;
    }
    Bitmap bitmap(h->width, static_cast<std::int32_t>(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t y = bottomUp ? height - 1 - row : row;
        const std::size_t at = h->pixelOffset + static_cast<std::size_t>(row * stride);
        auto dst = bitmap.Row(static_cast<std::int32_t>(y));
        for (std::size_t x = 0; x < dst.size(); ++x) {
            dst[x] = MakeColor(bytes[at + 3 * x + 2], bytes[at + 3 * x + 1], bytes[at + 3 * x]);
        }
    }
    return bitmap;
}

std::optional<Bitmap> LoadBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    return DecodeBmp(bytes);
}

}  // namespace platform
