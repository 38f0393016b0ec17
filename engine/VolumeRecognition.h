// What kind of data volume a disc holds, and its size and label when it has no ISO 9660 one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/SectorAccess.h"

namespace engine {

// The largest volume a run can address: its sector numbers are 32-bit and signed, and the
// last block's reads go up to 2000 sectors beyond its start.
inline constexpr double kLargestVolumeSectors = 2147481000;

// The reasons a run cannot start on a disc that was read.
inline constexpr const char* kNoDataVolumeText = "No data volume on this disc";
inline constexpr const char* kVolumeTooLargeText = "The volume is too large to measure";

// An ISO 9660 primary volume descriptor: type 1, "CD001".
bool IsPrimaryVolumeDescriptor(std::span<const std::uint8_t> sector);

// Reads one whole sector into dst; false when it cannot be read.
using SectorReader = std::function<bool(std::int64_t sector, std::span<std::uint8_t> dst)>;

// Whether the sectors from 16 on hold a UDF volume recognition sequence: BEA01, then NSR02 or
// NSR03, then TEA01, among the other descriptors a volume recognition area may hold.
bool HoldsUdfRecognition(const SectorReader& read);

// What the main volume descriptor sequence of a UDF volume says of it.
struct UdfVolume {
    std::optional<std::string> identifier;     // the logical volume identifier, decoded
    std::optional<std::int64_t> partitionEnd;  // the sector after its partition's last one
};

// Finds the anchor volume descriptor pointer at sector 256 (or 256 sectors before the end of
// the medium, or at its last sector, where a medium of known size may keep it) and reads
// the main volume descriptor sequence it points to.
UdfVolume ReadUdfVolume(const SectorReader& read, std::optional<std::int64_t> mediumSectors);

// A dstring of OSTA compressed Unicode (a compression id of 8 or 16, then the characters, the
// length in its last byte) as 8-bit characters; a character beyond 8 bits becomes "_".
std::string DecodeDstring(std::span<const std::uint8_t> field);

// After Read_VTOC: takes the disc's volume into VolumeSize and VolumeLabel. An ISO 9660
// primary volume descriptor at sector 16 gives both, as it always has. Without one, a UDF
// volume on a raw device gives the medium's size (the capacity the system reports, else the
// end of its partition) and its logical volume identifier as a 32-character label. The
// reason the run cannot start otherwise. `descriptors` receives what tells this volume from
// any other: sector 16 of an ISO 9660 volume, the UDF volume's descriptors as they were read.
std::optional<std::string> TakeVolume(SectorAccess& access, std::vector<std::uint8_t>& descriptors);

}  // namespace engine
