#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/SingleSpeeds.h"
#include "platform/System.h"

namespace platform::mmc {

// Which way a command's data goes.
enum class Direction { None, FromDrive, ToDrive };

// One command as it goes to the drive: its command block and the data it moves (what goes
// out, or room for what comes back). Multi-byte fields are big-endian.
struct Command {
    std::vector<std::uint8_t> cdb;
    Direction direction = Direction::None;
    std::vector<std::uint8_t> data;
};

// Why the drive refused a command.
struct Sense {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
    friend bool operator==(const Sense&, const Sense&) = default;
};

// The sense of either format the drives use (fixed, 70h/71h, or descriptor, 72h/73h);
// all zero for bytes of neither.
Sense ParseSense(std::span<const std::uint8_t> bytes);

// ILLEGAL REQUEST for an unknown command or a field the drive does not take: the drive's "no",
// no fault of the run.
constexpr bool Refused(Sense s) {
    return s.key == 0x05 && (s.asc == 0x20 || s.asc == 0x24 || s.asc == 0x26);
}
// NOT READY / MEDIUM NOT PRESENT.
constexpr bool NoMedium(Sense s) {
    return s.key == 0x02 && s.asc == 0x3A;
}
// UNIT ATTENTION / MEDIUM MAY HAVE CHANGED.
constexpr bool MediumChanged(Sense s) {
    return s.key == 0x06 && s.asc == 0x28;
}

// A speed in the drive's own unit, kB/s of 1,000 bytes, where a CD's single speed is 176.4
// (75 frames of 2,352 bytes), a DVD's 1,385 and a Blu-ray disc's 4,500; 0 for the drive's
// maximum.
std::uint32_t RequestKBs(const ReadSpeedRequest& request);

// SET CD SPEED: reading at readKBs (0xFFFF: as fast as the drive goes), writing left at its
// fastest, constant linear velocity.
constexpr std::uint16_t kFastest = 0xFFFF;
Command SetCdSpeed(std::uint16_t readKBs);
// SET STREAMING with one performance descriptor: readKBs over the volume's sectors; with
// restoreDefaults the drive goes back to its own speeds and the figures are not looked at.
Command SetStreaming(std::uint32_t readKBs, std::uint32_t lastSector, bool restoreDefaults);

// INQUIRY of the standard 36 bytes, and the identity in them (vendor 8..15, product 16..31,
// revision 32..35), blanks trimmed.
Command Inquiry();
DriveIdentity IdentityFromInquiry(std::span<const std::uint8_t> data);

// GET CONFIGURATION of the header alone, and the current profile in it (bytes 6..7).
Command GetConfiguration();
std::optional<std::uint16_t> CurrentProfile(std::span<const std::uint8_t> data);
// The profile's name as users know it ("CD-R", "DVD+R DL", "BD-RE"); empty for none (no
// disc) and for a profile of no optical disc this program reads.
std::string ProfileName(std::uint16_t profile);

// TEST UNIT READY.
Command TestUnitReady();

// READ CAPACITY (10), and the medium's sectors in its answer: the last one's address, plus 1.
Command ReadCapacity();
std::optional<std::int64_t> SectorsFromCapacity(std::span<const std::uint8_t> data);

// GET CONFIGURATION of the Real Time Streaming feature (0107h) alone, and whether the drive
// says in it that it takes speeds through GET PERFORMANCE and SET STREAMING, for a CD too.
Command GetStreamingFeature();
bool StreamsSpeeds(std::span<const std::uint8_t> data);

// GET PERFORMANCE of the nominal read performance, a few descriptors, and the fastest read in
// them (each descriptor's start and end performance, kB/s); nothing when none came back.
Command GetPerformance();
std::optional<std::uint32_t> FastestInPerformance(std::span<const std::uint8_t> data);
// MODE SENSE (10) of the capabilities page (2Ah), and the maximum read speed in it (kB/s),
// which older drives give where they give no performance.
Command ModeSenseCapabilities();
std::optional<std::uint32_t> FastestInCapabilities(std::span<const std::uint8_t> data);

}  // namespace platform::mmc
