// Writes the program's icon, kept as XPM for the window, as the PNG that icon themes want.
// Usage: discometer-icon-png OUT.png
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ui/forms/ProgramIcon.xpm"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

void Put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
    Put32(png, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc32(body.data(), body.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks: a 4 KiB icon needs no more.
Bytes ZlibStored(const Bytes& raw) {
    Bytes z{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);
    return z;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    int width = 0;
    int height = 0;
    int colors = 0;
    int charsPerPixel = 0;
    std::istringstream(kProgramIconXpm[0]) >> width >> height >> colors >> charsPerPixel;
    if (width <= 0 || height <= 0 || colors <= 0 || charsPerPixel <= 0) {
        std::fprintf(stderr, "%s: bad icon header\n", argv[0]);
        return 1;
    }
    std::map<std::string, std::array<std::uint8_t, 4>> palette;
    for (int i = 1; i <= colors; ++i) {
        const std::string line = kProgramIconXpm[i];
        const std::string key = line.substr(0, static_cast<std::size_t>(charsPerPixel));
        const std::size_t hash = line.find('#', static_cast<std::size_t>(charsPerPixel));
        std::array<std::uint8_t, 4> rgba{0, 0, 0, 0};  // "None": transparent
        if (hash != std::string::npos) {
            const unsigned long rgb = std::stoul(line.substr(hash + 1, 6), nullptr, 16);
            rgba = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                    static_cast<std::uint8_t>(rgb), 255};
        }
        palette[key] = rgba;
    }
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        const std::string row = kProgramIconXpm[1 + colors + y];
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const auto it = palette.find(
                row.substr(static_cast<std::size_t>(x) * static_cast<std::size_t>(charsPerPixel),
                           static_cast<std::size_t>(charsPerPixel)));
            if (it == palette.end()) {
                std::fprintf(stderr, "%s: unknown colour in row %d\n", argv[0], y);
                return 1;
            }
            raw.insert(raw.end(), it->second.begin(), it->second.end());
        }
    }

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no filter, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", ZlibStored(raw));
    Chunk(png, "IEND", {});

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
