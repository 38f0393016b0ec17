// What the chart and the status bar show of a comparison: the earlier run of the disc behind
// the run on the chart, and the verdict in a line.
#pragma once

#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "results/DocumentHeader.h"
#include "results/RunComparison.h"
#include "run/RunState.h"

namespace results {

// Quieter than the curve in front of it, and apart from the grid, the labels and the marks.
inline constexpr platform::Color kEarlierCurveColor = platform::MakeColor(96, 96, 168);
// The earlier run's unreadable blocks: in a colour apart from the red of the run's own, which
// stand just under the zero line, and just over it, mirroring them where the axis's numbers
// leave no room.
inline constexpr platform::Color kEarlierErrorColor = platform::MakeColor(255, 96, 255);
inline constexpr std::int32_t kEarlierErrorAbove = 2;  // rows over the zero line

// The legend's place: under the x axis's numbers, at the left, where no chart writes.
inline constexpr std::int32_t kLegendRow = 339;
inline constexpr const char* kEarlierLegend = "Behind: the earlier run";
inline constexpr const char* kEarlierErrorLegend = "its unreadable blocks";

// Draws the earlier run on the chart as it stands, in the chart's scale and geometry in `s`:
// its curve as the replay draws a curve, but only where the field or the grid shows, so
// behind whatever is there; a mark over the zero line for each of its unreadable blocks; and
// the legend. A run measured after it draws over it as it goes, its pen and colours as they
// were.
void DrawEarlierRun(const run::RunState& s, platform::Canvas& canvas,
                    const std::vector<BlockResult>& earlier);

// The marks of the earlier run's unreadable blocks alone, again over what a run measured
// since has drawn through them.
void DrawEarlierErrorMarks(const run::RunState& s, platform::Canvas& canvas,
                           const std::vector<BlockResult>& earlier);

// The same on the finished chart of a run (its summary in `s`): the summary texts are drawn
// again over the earlier curve, as they stand over the run's own. The chart of a run without
// a comparison is never drawn here.
void DrawEarlierCurveBehind(const run::RunState& s, platform::Canvas& canvas,
                            const std::vector<BlockResult>& earlier);

// The verdict in a line for the status bar: "Worse: 2 new unreadable, 1 slower region",
// "Better: 3 recovered", "Same as the earlier run".
std::string VerdictNote(const RunComparison& comparison);

}  // namespace results
