#pragma once

#include <cstdint>
#include <string>

#include "run/RunContext.h"
#include "run/RunState.h"

namespace results {

// The plot area within the 591 x 352 picture: a CD's; a DVD's and a Blu-ray's begin further
// right (MarginLeftOf).
inline constexpr std::int32_t kMarginLeft = 30;
inline constexpr std::int32_t kMarginRight = 10;
inline constexpr std::int32_t kMarginTop = 15;
inline constexpr std::int32_t kMarginBottom = 28;

// Volume sizes in sectors: the last that the CD chart's 380 blocks show, the longest CD, the
// largest DVD (dual layer). Anything larger is a Blu-ray disc.
inline constexpr double kCdAxisLastSector = 380999;
inline constexpr double kLongestCdSectors = 450000;
inline constexpr double kDualLayerDvdSectors = 4173824;

// The medium a volume of this size comes from. A live run and the replay of its data file
// know only the size, so both choose the same.
run::Medium MediumOf(double volumeSize);

// The chart for a volume: the CD chart while its blocks fit the CD axis, else an x axis whose
// grid steps are round numbers of thousands of sectors (1, 2, 5, 10, 20, ...) spanning the
// whole volume, with the speed scale of the volume's medium.
run::ChartLayout ChartLayoutFor(double volumeSize);

// Makes `layout` the chart's: sets Layout, XScale (pixels per 1000 sectors) and
// SpeedFullScale. The CD chart gets 1.452 and 8400, exactly as at start-up.
void UseChartLayout(run::RunState& s, const run::ChartLayout& layout);

// Once the volume's size is known: makes its layout the chart's, drawing the empty frame again
// when that changes it, and sets the status panels' widths for its medium. A run and a replay
// begin on the CD chart, so a volume that fits it changes nothing.
void FitChartToVolume(run::RunContext& ctx);

// The speed scale of a medium: 14 grid rows, every second one labelled with a speed and its
// multiple of the medium's single speed.
struct SpeedScale {
    double singleSpeedKBs;    // 1x: 150 KB/s, 1,385,000 B/s or 4,500,000 B/s
    std::int32_t labelStepX;  // the multiple between two labelled rows
};
const SpeedScale& SpeedScaleOf(run::Medium medium);
// Seven labelled steps: 8400 KB/s (56x) for a CD, 21x for a DVD, 14x for a Blu-ray disc.
double FullScaleKBs(run::Medium medium);

// Where the plot area begins for a medium's chart: a CD's speed labels have four digits and
// start two pixels inside the picture; the five of a DVD's or a Blu-ray's start there too and
// end as far before the speed axis as a CD's. Its width follows.
std::int32_t MarginLeftOf(run::Medium medium);
std::int32_t PlotWidthOf(run::Medium medium);
// The speed label of a labelled grid row, 1 (the lowest) to 7.
std::string MediumSpeedLabel(const SpeedScale& scale, std::int32_t row);

// The x caption number of a grid step, in thousands of sectors.
std::string GridStepText(std::int64_t thousands);

// Whole thousands of sectors, the gauge's maximum: a file may hold any size, but the gauge
// takes only 0 .. 2^31 - 1.
std::int32_t GaugeBlocks(double volumeSize);

}  // namespace results
