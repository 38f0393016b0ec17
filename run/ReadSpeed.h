#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace run {

// Read speeds the user may ask of the drive, in multiples of a CD's single speed (150 KB/s),
// as the Read Speed menu offers them; 0 leaves the drive at its own maximum.
inline constexpr std::int32_t kMaxReadSpeed = 0;
inline constexpr std::array<std::int32_t, 9> kReadSpeeds{
    kMaxReadSpeed, 52, 48, 40, 32, 24, 16, 8, 4};

// "Max", or the multiple followed by "x" ("16x").
inline std::string ReadSpeedCaption(std::int32_t speed) {
    return speed == kMaxReadSpeed ? std::string("Max") : std::to_string(speed) + "x";
}

}  // namespace run
