#pragma once

#include <cstdint>

#include "platform/SingleSpeeds.h"

namespace run {

// The chart of a CD: 380 blocks across at 1.452 pixels a block, 8400 KB/s (56x) at the top.
inline constexpr double kCdXScale = 1.452;
inline constexpr std::int32_t kCdSpeedFullScale = 8400;

// The kind of disc a volume of a given size comes from; it sets the speed scale.
using Medium = platform::Medium;

// How the chart's two axes are laid out for the volume on display. The zero value is the CD
// chart; a larger volume gets an x axis scaled to fit it, and a DVD or Blu-ray volume the
// speed scale of its medium.
struct ChartLayout {
    Medium medium = Medium::CD;
    // Thousands of sectors between two vertical grid lines and the number of such steps across
    // the plot; both 0 for the CD's fixed axis.
    std::int64_t gridStep = 0;
    std::int32_t gridSteps = 0;

    bool ScaledAxis() const { return gridStep > 0; }
    // The classic chart, to the pixel.
    bool IsCdChart() const { return medium == Medium::CD && !ScaledAxis(); }
    friend bool operator==(const ChartLayout&, const ChartLayout&) = default;
};

}  // namespace run
