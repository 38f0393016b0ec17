#include "platform/SimUdfVolume.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"

namespace platform {

namespace {

constexpr std::int64_t kAnchorSector = 256;
// The main volume descriptor sequence: a partition, the logical volume, the end.
constexpr std::int64_t kSequenceStart = 32;
constexpr std::int64_t kSequenceSectors = 16;
constexpr std::int64_t kPartitionSector = kSequenceStart;
constexpr std::int64_t kLogicalVolumeSector = kSequenceStart + 1;
constexpr std::int64_t kTerminatingSector = kSequenceStart + 2;
// The partition starts after the anchor and leaves room at the medium's end, where a disc
// may keep its reserve anchor.
constexpr std::int64_t kPartitionStart = kAnchorSector + 1;
constexpr std::int64_t kAfterPartition = 257;

// A volume structure descriptor of the recognition sequence.
void PutStructureDescriptor(std::span<std::uint8_t> d, const char* identifier) {
    d[0] = 0;
    std::memcpy(&d[1], identifier, 5);
    d[6] = 1;
}

// The tag every descriptor of the volume starts with; last, for its checksum covers the rest
// of the tag.
void PutTag(std::span<std::uint8_t> d, std::uint16_t identifier, std::int64_t sector) {
    PutLe16(d, 0, identifier);
    PutLe16(d, 2, 3);  // descriptor version of NSR03
    PutLe32(d, 12, static_cast<std::uint32_t>(sector));
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i != 4) {
            sum = static_cast<std::uint8_t>(sum + d[i]);
        }
    }
    d[4] = sum;
}

}  // namespace

std::vector<std::int64_t> UdfStructureSectors() {
    return {16, 17, 18, kPartitionSector, kLogicalVolumeSector, kTerminatingSector, kAnchorSector};
}

bool FillUdfStructure(std::int64_t sector, std::int64_t sectors, std::string_view identifier,
                      std::span<std::uint8_t> dst) {
    std::fill(dst.begin(), dst.end(), std::uint8_t{0});
    switch (sector) {
        case 16:
            PutStructureDescriptor(dst, "BEA01");
            return true;
        case 17:
            PutStructureDescriptor(dst, "NSR03");
            return true;
        case 18:
            PutStructureDescriptor(dst, "TEA01");
            return true;
        case kAnchorSector:
            PutLe32(dst, 16, static_cast<std::uint32_t>(kSequenceSectors * 2048));
            PutLe32(dst, 20, static_cast<std::uint32_t>(kSequenceStart));
            PutTag(dst, 2, sector);
            return true;
        case kPartitionSector:
            PutLe32(dst, 188, static_cast<std::uint32_t>(kPartitionStart));
            PutLe32(dst, 192,
                    static_cast<std::uint32_t>(
                        std::max<std::int64_t>(sectors - kPartitionStart - kAfterPartition, 0)));
            PutTag(dst, 5, sector);
            return true;
        case kLogicalVolumeSector: {
            // The identifier as a dstring of 8-bit characters: the compression id first, the
            // length of both last.
            const std::size_t chars = std::min<std::size_t>(identifier.size(), 126);
            dst[84] = 8;
            std::memcpy(&dst[85], identifier.data(), chars);
            dst[84 + 127] = static_cast<std::uint8_t>(chars + 1);
            PutLe32(dst, 212, 2048);  // logical block size
            PutTag(dst, 6, sector);
            return true;
        }
        case kTerminatingSector:
            PutTag(dst, 8, sector);
            return true;
        default:
            return false;
    }
}

}  // namespace platform
