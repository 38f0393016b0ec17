#include "platform/MmcCommands.h"

#include <algorithm>
#include <cmath>

#include "platform/IdentityField.h"

namespace platform::mmc {

namespace {

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value >> 16);
    Put16(bytes, at + 2, value & 0xFFFFu);
}

// The drive's single speed in kB/s of 1,000 bytes, tenths for the CD's 176.4.
constexpr std::uint32_t SingleSpeedTenthsKBs(Medium medium) {
    switch (medium) {
        case Medium::DVD:
            return 13850;
        case Medium::BluRay:
            return 45000;
        case Medium::CD:
            break;
    }
    return 1764;
}

std::string Field(std::span<const std::uint8_t> data, std::size_t first, std::size_t length) {
    if (data.size() < first + length) {
        return {};
    }
    // Some drives end a field with NULs in place of SCSI's blanks.
    std::string_view field(reinterpret_cast<const char*>(data.data() + first), length);
    return IdentityField(field.substr(0, field.find('\0')));
}

}  // namespace

Sense ParseSense(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    const std::uint8_t code = bytes[0] & 0x7F;
    if ((code == 0x70 || code == 0x71) && bytes.size() >= 14) {
        return {static_cast<std::uint8_t>(bytes[2] & 0x0F), bytes[12], bytes[13]};
    }
    if ((code == 0x72 || code == 0x73) && bytes.size() >= 4) {
        return {static_cast<std::uint8_t>(bytes[1] & 0x0F), bytes[2], bytes[3]};
    }
    return {};
}

std::uint32_t RequestKBs(const ReadSpeedRequest& request) {
    if (request.times <= 0) {
        return 0;
    }
    // Rounded to the nearest kB/s: "16x" on a CD is 2,822.
    const std::uint64_t tenths =
        static_cast<std::uint64_t>(request.times) * SingleSpeedTenthsKBs(request.medium);
    return static_cast<std::uint32_t>((tenths + 5) / 10);
}

Command SetCdSpeed(std::uint16_t readKBs) {
    Command c{std::vector<std::uint8_t>(12), Direction::None, {}};
    c.cdb[0] = 0xBB;
    Put16(c.cdb, 2, readKBs);
    Put16(c.cdb, 4, kFastest);
    return c;
}

Command SetStreaming(std::uint32_t readKBs, std::uint32_t lastSector, bool restoreDefaults) {
    constexpr std::uint32_t kDescriptorBytes = 28;
    constexpr std::uint32_t kOneSecondMs = 1000;
    Command c{std::vector<std::uint8_t>(12), Direction::ToDrive,
              std::vector<std::uint8_t>(kDescriptorBytes)};
    c.cdb[0] = 0xB6;
    c.cdb[8] = 0x00;  // a performance descriptor
    Put16(c.cdb, 9, kDescriptorBytes);
    c.data[0] = restoreDefaults ? 0x04 : 0x00;  // RDD
    Put32(c.data, 4, 0);
    Put32(c.data, 8, lastSector);
    // So many kB each second, read and write alike.
    Put32(c.data, 12, readKBs);
    Put32(c.data, 16, kOneSecondMs);
    Put32(c.data, 20, readKBs);
    Put32(c.data, 24, kOneSecondMs);
    return c;
}

Command Inquiry() {
    constexpr std::uint8_t kStandardBytes = 36;
    Command c{{0x12, 0, 0, 0, kStandardBytes, 0},
              Direction::FromDrive,
              std::vector<std::uint8_t>(kStandardBytes)};
    return c;
}

DriveIdentity IdentityFromInquiry(std::span<const std::uint8_t> data) {
    return {Field(data, 8, 8), Field(data, 16, 16), Field(data, 32, 4)};
}

Command GetConfiguration() {
    constexpr std::uint8_t kHeaderBytes = 8;
    Command c{std::vector<std::uint8_t>(10), Direction::FromDrive,
              std::vector<std::uint8_t>(kHeaderBytes)};
    c.cdb[0] = 0x46;
    c.cdb[1] = 0x01;  // the current features only: none is asked for beyond the header
    Put16(c.cdb, 7, kHeaderBytes);
    return c;
}

std::optional<std::uint16_t> CurrentProfile(std::span<const std::uint8_t> data) {
    if (data.size() < 8) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>((data[6] << 8) | data[7]);
}

std::string ProfileName(std::uint16_t profile) {
    switch (profile) {
        case 0x0008:
            return "CD-ROM";
        case 0x0009:
            return "CD-R";
        case 0x000A:
            return "CD-RW";
        case 0x0010:
            return "DVD-ROM";
        case 0x0011:
            return "DVD-R";
        case 0x0012:
            return "DVD-RAM";
        case 0x0013:
        case 0x0014:
            return "DVD-RW";
        case 0x0015:
        case 0x0016:
            return "DVD-R DL";
        case 0x001A:
            return "DVD+RW";
        case 0x001B:
            return "DVD+R";
        case 0x002A:
            return "DVD+RW DL";
        case 0x002B:
            return "DVD+R DL";
        case 0x0040:
            return "BD-ROM";
        case 0x0041:
        case 0x0042:
            return "BD-R";
        case 0x0043:
            return "BD-RE";
        default:
            return {};
    }
}

namespace {

std::uint32_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 8) | b[at + 1];
}

std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
    return (Get16(b, at) << 16) | Get16(b, at + 2);
}

constexpr std::size_t kPerformanceHeader = 8;
constexpr std::size_t kPerformanceDescriptor = 16;
constexpr std::uint16_t kPerformanceDescriptors = 8;

}  // namespace

Command GetPerformance() {
    Command c{std::vector<std::uint8_t>(12), Direction::FromDrive,
              std::vector<std::uint8_t>(kPerformanceHeader +
                                        kPerformanceDescriptors * kPerformanceDescriptor)};
    c.cdb[0] = 0xAC;
    c.cdb[1] = 0x10;  // nominal performance within 10 %, of reading
    Put16(c.cdb, 8, kPerformanceDescriptors);
    c.cdb[10] = 0x00;  // performance descriptors
    return c;
}

std::optional<std::uint32_t> FastestInPerformance(std::span<const std::uint8_t> data) {
    if (data.size() < kPerformanceHeader) {
        return std::nullopt;
    }
    // The length counts the bytes after its own four; a drive may say more than it sent.
    const std::size_t length = std::min<std::size_t>(Get32(data, 0) + 4, data.size());
    std::uint32_t fastest = 0;
    for (std::size_t at = kPerformanceHeader; at + kPerformanceDescriptor <= length;
         at += kPerformanceDescriptor) {
        fastest = std::max({fastest, Get32(data, at + 4), Get32(data, at + 12)});
    }
    return fastest > 0 ? std::optional(fastest) : std::nullopt;
}

Command ModeSenseCapabilities() {
    constexpr std::uint16_t kBytes = 64;
    Command c{std::vector<std::uint8_t>(10), Direction::FromDrive,
              std::vector<std::uint8_t>(kBytes)};
    c.cdb[0] = 0x5A;
    c.cdb[1] = 0x08;  // no block descriptors
    c.cdb[2] = 0x2A;  // the current values of the capabilities page
    Put16(c.cdb, 7, kBytes);
    return c;
}

std::optional<std::uint32_t> FastestInCapabilities(std::span<const std::uint8_t> data) {
    constexpr std::size_t kHeader = 8;
    if (data.size() < kHeader) {
        return std::nullopt;
    }
    const std::size_t page = kHeader + Get16(data, 6);  // after any block descriptors
    if (page + 10 > data.size() || (data[page] & 0x3F) != 0x2A) {
        return std::nullopt;
    }
    const std::uint32_t fastest = Get16(data, page + 8);
    return fastest > 0 ? std::optional(fastest) : std::nullopt;
}

Command ReadCapacity() {
    return {std::vector<std::uint8_t>{0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Direction::FromDrive,
            std::vector<std::uint8_t>(8)};
}

std::optional<std::int64_t> SectorsFromCapacity(std::span<const std::uint8_t> data) {
    if (data.size() < 8) {
        return std::nullopt;
    }
    return std::int64_t{Get32(data, 0)} + 1;
}

Command GetStreamingFeature() {
    constexpr std::uint16_t kFeature = 0x0107;
    constexpr std::uint8_t kBytes = 8 + 8;  // the header and the feature's descriptor
    Command c{std::vector<std::uint8_t>(10), Direction::FromDrive,
              std::vector<std::uint8_t>(kBytes)};
    c.cdb[0] = 0x46;
    c.cdb[1] = 0x02;  // the one feature asked for
    Put16(c.cdb, 2, kFeature);
    Put16(c.cdb, 7, kBytes);
    return c;
}

bool StreamsSpeeds(std::span<const std::uint8_t> data) {
    constexpr std::size_t kDescriptor = 8;
    return data.size() >= kDescriptor + 5 && Get16(data, kDescriptor) == 0x0107 &&
           (data[kDescriptor + 2] & 0x01) != 0 &&  // current
           (data[kDescriptor + 4] & 0x02) != 0;    // speeds through SET STREAMING
}

Command TestUnitReady() {
    return {std::vector<std::uint8_t>(6), Direction::None, {}};
}

}  // namespace platform::mmc
