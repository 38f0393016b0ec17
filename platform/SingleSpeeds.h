#pragma once

namespace platform {

// Single speed ("1x") of each kind of optical disc, in KB/s of 1024 bytes: 150 KB/s for a CD,
// 1,385,000 B/s for a DVD, 4,500,000 B/s for a Blu-ray disc.
inline constexpr double kCdSingleSpeedKBs = 150.0;
inline constexpr double kDvdSingleSpeedKBs = 1385000.0 / 1024;
inline constexpr double kBluRaySingleSpeedKBs = 4500000.0 / 1024;

}  // namespace platform
