#include "engine/VolumeRecognition.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/LittleEndian.h"
#include "platform/SectorBuffer.h"
#include "results/VolumeLabel.h"

namespace engine {

namespace {

constexpr std::int64_t kFirstVolumeSector = 16;
// How far a volume recognition sequence is looked for, and the most sectors of a volume
// descriptor sequence read; both far beyond what a disc holds.
constexpr std::int64_t kRecognitionSectors = 32;
constexpr std::int64_t kSequenceSectors = 64;
constexpr std::int64_t kAnchorSector = 256;
constexpr std::size_t kLabelChars = 32;

// Descriptor tags of the volume descriptor sequence.
constexpr std::uint16_t kAnchorTag = 2;
constexpr std::uint16_t kPartitionTag = 5;
constexpr std::uint16_t kLogicalVolumeTag = 6;
constexpr std::uint16_t kTerminatingTag = 8;
// Where the fields lie in their descriptors.
constexpr std::size_t kMainSequenceLength = 16;
constexpr std::size_t kMainSequenceLocation = 20;
constexpr std::size_t kPartitionStart = 188;
constexpr std::size_t kPartitionLength = 192;
constexpr std::size_t kLogicalVolumeIdentifier = 84;
constexpr std::size_t kLogicalVolumeIdentifierBytes = 128;

using Sector = std::array<std::uint8_t, platform::kSectorBytes>;
using platform::Le32;

std::string_view Identifier(const Sector& s) {
    return {reinterpret_cast<const char*>(s.data() + 1), 5};
}

// The descriptor's tag identifier when its tag is whole (its checksum adds up and it names
// the sector it lies in), else nothing.
std::optional<std::uint16_t> TagOf(const Sector& s, std::int64_t sector) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i != 4) {
            sum = static_cast<std::uint8_t>(sum + s[i]);
        }
    }
    if (sum != s[4] || Le32(s, 12) != static_cast<std::uint32_t>(sector)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(s[0] | s[1] << 8);
}

bool ReadSector(const SectorReader& read, std::int64_t sector, Sector& s) {
    return sector >= 0 && read(sector, s);
}

// The anchor's main volume descriptor sequence: its first sector and its length in sectors.
std::optional<std::pair<std::int64_t, std::int64_t>> MainSequence(
    const SectorReader& read, std::optional<std::int64_t> mediumSectors) {
    std::vector<std::int64_t> places{kAnchorSector};
    if (mediumSectors) {
        places.push_back(*mediumSectors - 1 - kAnchorSector);
        places.push_back(*mediumSectors - 1);
    }
    Sector s{};
    for (const std::int64_t place : places) {
        if (ReadSector(read, place, s) && TagOf(s, place) == kAnchorTag) {
            const auto sectors =
                static_cast<std::int64_t>(Le32(s, kMainSequenceLength) / platform::kSectorBytes);
            return std::pair<std::int64_t, std::int64_t>(Le32(s, kMainSequenceLocation),
                                                         std::min(sectors, kSequenceSectors));
        }
    }
    return std::nullopt;
}

std::string AsLabel(std::string text) {
    text.resize(kLabelChars, ' ');
    return results::PrintableLabel(text);
}

}  // namespace

bool IsPrimaryVolumeDescriptor(std::span<const std::uint8_t> sector) {
    return sector.size() >= 6 && sector[0] == 1 && std::memcmp(sector.data() + 1, "CD001", 5) == 0;
}

bool HoldsUdfRecognition(const SectorReader& read) {
    constexpr std::array<std::string_view, 7> kKnown{"CD001", "CDW02", "BOOT2", "BEA01",
                                                     "NSR02", "NSR03", "TEA01"};
    bool extended = false;
    bool nsr = false;
    Sector s{};
    for (std::int64_t sector = kFirstVolumeSector;
         sector < kFirstVolumeSector + kRecognitionSectors; ++sector) {
        if (!ReadSector(read, sector, s)) {
            return false;
        }
        const std::string_view id = Identifier(s);
        // The sequence ends at the first sector that holds no descriptor of it.
        if (std::find(kKnown.begin(), kKnown.end(), id) == kKnown.end()) {
            return false;
        }
        if (id == "BEA01") {
            extended = true;
        } else if (extended && (id == "NSR02" || id == "NSR03")) {
            nsr = true;
        } else if (extended && id == "TEA01") {
            if (nsr) {
                return true;
            }
            extended = false;
        }
    }
    return false;
}

UdfVolume ReadUdfVolume(const SectorReader& read, std::optional<std::int64_t> mediumSectors) {
    UdfVolume volume;
    const auto sequence = MainSequence(read, mediumSectors);
    if (!sequence) {
        return volume;
    }
    Sector s{};
    for (std::int64_t i = 0; i < sequence->second; ++i) {
        const std::int64_t sector = sequence->first + i;
        if (!ReadSector(read, sector, s)) {
            break;
        }
        const auto tag = TagOf(s, sector);
        if (!tag || *tag == kTerminatingTag) {
            break;
        }
        if (*tag == kLogicalVolumeTag && !volume.identifier) {
            volume.identifier = DecodeDstring(
                std::span(s).subspan(kLogicalVolumeIdentifier, kLogicalVolumeIdentifierBytes));
        } else if (*tag == kPartitionTag && !volume.partitionEnd) {
            volume.partitionEnd =
                std::int64_t{Le32(s, kPartitionStart)} + std::int64_t{Le32(s, kPartitionLength)};
        }
    }
    return volume;
}

std::string DecodeDstring(std::span<const std::uint8_t> field) {
    if (field.size() < 2) {
        return {};
    }
    // The length counts the compression id and the characters; the last byte holds it.
    const std::size_t length = std::min<std::size_t>(field.back(), field.size() - 1);
    if (length < 1) {
        return {};
    }
    const std::span<const std::uint8_t> chars = field.subspan(1, length - 1);
    std::string text;
    if (field[0] == 8) {
        text.assign(chars.begin(), chars.end());
    } else if (field[0] == 16) {
        for (std::size_t i = 0; i + 1 < chars.size(); i += 2) {
            const unsigned unit = unsigned{chars[i]} << 8 | chars[i + 1];
            text.push_back(unit > 0xFF ? '_' : static_cast<char>(unit));
        }
    }
    return text;
}

std::optional<std::string> TakeVolume(SectorAccess& access,
                                      std::vector<std::uint8_t>& descriptors) {
    run::RunState& s = access.State();
    const auto sector16 = s.SectorBuffer.span().first(platform::kSectorBytes);
    descriptors.clear();
    if (IsPrimaryVolumeDescriptor(sector16)) {
        descriptors.assign(sector16.begin(), sector16.end());
        TakeVolumeDescriptor(s);
    } else {
        // The sector library reads nothing but sector 16.
        if (!run::UsesRawDevice(s.OSPlatformId) || s.DeviceHandle == nullptr) {
            return kNoDataVolumeText;
        }
        const SectorReader read = [&](std::int64_t sector, std::span<std::uint8_t> dst) {
            if (static_cast<double>(sector) > kLargestVolumeSectors) {
                return false;
            }
            s.StartSector = static_cast<std::int32_t>(sector);
            s.SectorCount = 1;
            access.Read_Block();
            if (s.ReadStatus < 0) {
                return false;
            }
            std::copy_n(s.SectorBuffer.data(), dst.size(), dst.begin());
            return true;
        };
        if (!HoldsUdfRecognition(read)) {
            return kNoDataVolumeText;
        }
        const std::optional<std::int64_t> medium = s.DeviceHandle->MediumSectors();
        const SectorReader kept = [&](std::int64_t sector, std::span<std::uint8_t> dst) {
            if (!read(sector, dst)) {
                return false;
            }
            descriptors.insert(descriptors.end(), dst.begin(), dst.end());
            return true;
        };
        const UdfVolume volume = ReadUdfVolume(kept, medium);
        const std::optional<std::int64_t> size = medium ? medium : volume.partitionEnd;
        if (!size) {
            return kNoDataVolumeText;
        }
        s.VolumeSize = static_cast<double>(*size);
        s.VolumeLabel = AsLabel(volume.identifier.value_or(std::string()));
    }
    if (s.VolumeSize > kLargestVolumeSectors) {
        return kVolumeTooLargeText;
    }
    return std::nullopt;
}

}  // namespace engine
