// Disc images for runs through the raw device: sparse files with a volume descriptor.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/SimDrive.h"

namespace fixtures {

// A sparse image of `sectors` sectors whose volume descriptor announces as many, under
// `label`; every other sector reads as zeros.
inline void WriteSparseImage(const std::filesystem::path& path, std::uint32_t sectors,
                             const std::string& label) {
    platform::SimDiscParams disc;
    disc.volumeSectors = sectors;
    disc.volumeId = label;
    std::vector<std::uint8_t> descriptor(2048);
    platform::SimDrive(disc).SectorContent(16, descriptor);
    {
        std::ofstream out(path, std::ios::binary);
        out.seekp(16 * 2048);
        out.write(reinterpret_cast<const char*>(descriptor.data()),
                  static_cast<std::streamsize>(descriptor.size()));
    }
    std::filesystem::resize_file(path, std::uintmax_t{sectors} * 2048);
}

}  // namespace fixtures
