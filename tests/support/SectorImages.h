// Disc images whose sectors say where they are, for the tests of raw reads.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/SectorBuffer.h"

namespace fixtures {

// An image whose sector s starts with the 4-byte number s.
inline void WriteImage(const std::filesystem::path& file, std::uint32_t sectors) {
    std::ofstream out(file, std::ios::binary);
    std::vector<char> sector(platform::kSectorBytes, 'x');
    for (std::uint32_t s = 0; s < sectors; ++s) {
        std::memcpy(sector.data(), &s, sizeof s);
        out.write(sector.data(), static_cast<std::streamsize>(sector.size()));
    }
}

// The 4-byte number at the start of a sector.
inline std::uint32_t FirstWord(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace fixtures
