#pragma once

#include <cstdint>

namespace platform {

// The kind of disc: it sets the single speed, the chart's speed scale and how a drive is
// asked for a read speed.
enum class Medium : std::uint8_t { CD, DVD, BluRay };

// Single speed ("1x") of each kind of optical disc, in KB/s of 1024 bytes: 150 KB/s for a CD,
// 1,385,000 B/s for a DVD, 4,500,000 B/s for a Blu-ray disc.
inline constexpr double kCdSingleSpeedKBs = 150.0;
inline constexpr double kDvdSingleSpeedKBs = 1385000.0 / 1024;
inline constexpr double kBluRaySingleSpeedKBs = 4500000.0 / 1024;

constexpr double SingleSpeedKBs(Medium medium) {
    switch (medium) {
        case Medium::DVD:
            return kDvdSingleSpeedKBs;
        case Medium::BluRay:
            return kBluRaySingleSpeedKBs;
        case Medium::CD:
            break;
    }
    return kCdSingleSpeedKBs;
}

// A read speed asked of a drive for one run.
struct ReadSpeedRequest {
    std::int32_t times = 0;  // multiples of the medium's single speed; 0: the drive's maximum
    Medium medium = Medium::CD;
    std::uint32_t lastSector = 0;  // of the volume: where the request's range ends
    // The drive takes SET STREAMING for a CD too, as its Real Time Streaming feature says.
    bool streamsCd = false;
};

}  // namespace platform
