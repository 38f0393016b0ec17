// The chart of a later run with an earlier run of the disc behind it.
#pragma once

#include <vector>

#include "platform/Canvas.h"
#include "results/DocumentHeader.h"
#include "run/RunState.h"

namespace results {

// Quieter than the curve in front of it, and apart from the grid, the labels and the marks.
inline constexpr platform::Color kEarlierCurveColor = platform::MakeColor(96, 96, 168);

// The legend's place: under the x axis's numbers, at the left, where no chart writes.
inline constexpr std::int32_t kLegendRow = 339;
inline constexpr const char* kEarlierLegend = "Behind: the earlier run";

// On the chart that the replay has drawn of the later run (its scale and geometry in `s`),
// draws the earlier run's curve, as the replay draws a curve, but only where the later run
// left the field or the grid showing: behind the later curve, its marks and its texts. The
// summary texts are drawn again over it, as they stand over the later curve, and the legend
// says which curve is which. The chart of a run without a comparison is never drawn here.
void DrawEarlierCurveBehind(const run::RunState& s, platform::Canvas& canvas,
                            const std::vector<BlockResult>& earlier);

}  // namespace results
