#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/MmcCommands.h"
#include "run/ChartLayout.h"

namespace run {

// Read speeds the user may ask of the drive, in multiples of the medium's single speed; 0
// leaves the drive at its own maximum. The Read Speed menu holds all of them and shows those
// of the loaded medium; the command line takes any.
inline constexpr std::int32_t kMaxReadSpeed = 0;
inline constexpr std::array<std::int32_t, 14> kReadSpeeds{
    kMaxReadSpeed, 52, 48, 40, 32, 24, 16, 12, 10, 8, 6, 4, 2, 1};

// The steps drives offer for each medium, Max first.
inline constexpr std::array<std::int32_t, 9> kCdReadSpeeds{
    kMaxReadSpeed, 52, 48, 40, 32, 24, 16, 8, 4};
inline constexpr std::array<std::int32_t, 8> kDvdReadSpeeds{kMaxReadSpeed, 16, 12, 8, 6, 4, 2, 1};
inline constexpr std::array<std::int32_t, 8> kBluRayReadSpeeds{
    kMaxReadSpeed, 12, 10, 8, 6, 4, 2, 1};

inline std::span<const std::int32_t> ReadSpeedsOf(Medium medium) {
    switch (medium) {
        case Medium::DVD:
            return kDvdReadSpeeds;
        case Medium::BluRay:
            return kBluRayReadSpeeds;
        case Medium::CD:
            break;
    }
    return kCdReadSpeeds;
}

// The medium's speeds that the drive can read at, Max first: up to its fastest (kB/s of
// 1,000 bytes as it says it, 0 when it does not), give or take 5 %.
inline std::vector<std::int32_t> OfferedReadSpeeds(Medium medium, std::uint32_t fastestKBs) {
    std::vector<std::int32_t> offered;
    for (const std::int32_t speed : ReadSpeedsOf(medium)) {
        if (speed == kMaxReadSpeed || fastestKBs == 0 ||
            platform::mmc::RequestKBs({speed, medium}) <= fastestKBs + fastestKBs / 20) {
            offered.push_back(speed);
        }
    }
    return offered;
}

// The choice where the medium offers it, else Max.
inline std::int32_t FitReadSpeed(std::int32_t speed, Medium medium) {
    const auto speeds = ReadSpeedsOf(medium);
    return std::find(speeds.begin(), speeds.end(), speed) != speeds.end() ? speed : kMaxReadSpeed;
}

// "Max", or the multiple followed by "x" ("16x").
inline std::string ReadSpeedCaption(std::int32_t speed) {
    return speed == kMaxReadSpeed ? std::string("Max") : std::to_string(speed) + "x";
}

}  // namespace run
