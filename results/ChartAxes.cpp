#include "results/ChartAxes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/BitmapFont.h"
#include "platform/SingleSpeeds.h"
#include "results/ChartFrame.h"
#include "results/NumberText.h"

namespace results {

namespace {

constexpr std::int32_t kMaxGridSteps = 20;
// Blank pixels at least between two caption numbers.
constexpr std::int64_t kCaptionGap = 6;
// The axis of a hostile size stops at the largest block number a result line can hold.
constexpr long double kMaxAxisThousands = std::numeric_limits<std::int32_t>::max();

constexpr SpeedScale kCdScale{platform::kCdSingleSpeedKBs, 8};
constexpr SpeedScale kDvdScale{platform::kDvdSingleSpeedKBs, 3};
constexpr SpeedScale kBluRayScale{platform::kBluRaySingleSpeedKBs, 2};

// Sizes are whole sectors; a file may hold a fraction, which counts as the sectors below it.
bool Above(double volumeSize, double sectors) {
    return std::trunc(volumeSize) > sectors;
}

}  // namespace

run::Medium MediumOf(double volumeSize) {
    if (!Above(volumeSize, kLongestCdSectors)) {
        return run::Medium::CD;
    }
    return Above(volumeSize, kDualLayerDvdSectors) ? run::Medium::BluRay : run::Medium::DVD;
}

run::ChartLayout ChartLayoutFor(double volumeSize) {
    run::ChartLayout layout;
    layout.medium = MediumOf(volumeSize);
    if (!Above(volumeSize, kCdAxisLastSector)) {
        return layout;
    }
    const long double thousands =
        std::min(static_cast<long double>(volumeSize) / 1000, kMaxAxisThousands);
    // The smallest round step whose numbers fit under their columns; a step of a billion
    // thousands fits any axis, so the search ends.
    for (std::int64_t decade = 1;; decade *= 10) {
        for (const std::int64_t multiple : {1, 2, 5}) {
            const std::int64_t step = multiple * decade;
            const auto steps = static_cast<std::int64_t>(std::ceil(thousands / step));
            if (steps > kMaxGridSteps) {
                continue;
            }
            const std::int64_t widest =
                platform::TextWidth(platform::ChartFont(), GridStepText(steps * step)) +
                kCaptionGap;
            if (widest * steps <= PlotWidthOf(layout.medium)) {
                layout.gridStep = step;
                layout.gridSteps = static_cast<std::int32_t>(steps);
                return layout;
            }
        }
    }
}

void UseChartLayout(run::RunState& s, const run::ChartLayout& layout) {
    s.Layout = layout;
    // Whole KB/s, as the field holds; the fraction of a DVD's or a Blu-ray's 1x is lost.
    s.SpeedFullScale = static_cast<std::int32_t>(FullScaleKBs(layout.medium));
    if (!layout.ScaledAxis()) {
        s.XScale = run::kCdXScale;
        return;
    }
    const long double axis = static_cast<long double>(layout.gridStep) * layout.gridSteps;
    const std::int32_t plotWidth = PlotWidthOf(layout.medium);
    double xScale = static_cast<double>(plotWidth / axis);
    // The last grid line lies on the plot's right edge however the division rounded.
    while (std::trunc(axis * xScale) < plotWidth) {
        xScale = std::nextafter(xScale, std::numeric_limits<double>::infinity());
    }
    s.XScale = xScale;
}

void FitChartToVolume(run::RunContext& ctx) {
    run::RunState& s = ctx.state;
    const run::ChartLayout layout = ChartLayoutFor(s.VolumeSize);
    ctx.window.SetPanelWidths(layout.medium == run::Medium::CD ? run::PanelWidths::Classic
                                                               : run::PanelWidths::Wide);
    if (layout == s.Layout) {
        return;
    }
    UseChartLayout(s, layout);
    HashPaint(s, ctx.chart.canvas);
}

const SpeedScale& SpeedScaleOf(run::Medium medium) {
    switch (medium) {
        case run::Medium::DVD:
            return kDvdScale;
        case run::Medium::BluRay:
            return kBluRayScale;
        case run::Medium::CD:
            break;
    }
    return kCdScale;
}

double FullScaleKBs(run::Medium medium) {
    const SpeedScale& scale = SpeedScaleOf(medium);
    return 7 * scale.labelStepX * scale.singleSpeedKBs;
}

std::int32_t MarginLeftOf(run::Medium medium) {
    if (medium == run::Medium::CD) {
        return kMarginLeft;
    }
    const platform::BitmapFont& font = platform::ChartFont();
    const std::int64_t cdLabel = platform::TextWidth(font, "8400");
    const std::int64_t widest = platform::TextWidth(font, TruncToText(FullScaleKBs(medium)));
    return static_cast<std::int32_t>(
        std::max<std::int64_t>(kMarginLeft, kMarginLeft - cdLabel + widest));
}

std::int32_t PlotWidthOf(run::Medium medium) {
    return run::Chart::kWidth - MarginLeftOf(medium) - kMarginRight;
}

std::string MediumSpeedLabel(const SpeedScale& scale, std::int32_t row) {
    return TruncToText(row * scale.labelStepX * scale.singleSpeedKBs);
}

std::string GridStepText(std::int64_t thousands) {
    return std::to_string(thousands);
}

std::int32_t GaugeBlocks(double volumeSize) {
    const double blocks = std::trunc(volumeSize / 1000);
    if (!(blocks > 0)) {
        return 0;
    }
    if (blocks >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(blocks);
}

}  // namespace results
