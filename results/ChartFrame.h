#pragma once

#include <cstdint>

#include "platform/Canvas.h"
#include "run/RunState.h"

namespace results {

// The x caption of the CD chart: the thousands of sectors 20 ... 380, each under its grid line.
inline constexpr const char* kXCaption =
    "20     40      60      80    100    120    140   160    180    200    220   240    260"
    "    280   300    320   340    360   380";

// Draws the empty chart of Layout over the whole picture of `canvas` (black field, grid,
// captions and scale labels) and sets ChartWidth, ChartHeight and the four margins from it.
// Leaves the brush at ChartBackColor, the pen at GridColor and the font colour at LabelColor.
void HashPaint(run::RunState& s, platform::Canvas& canvas);

// PlotHeight and Baseline from the picture size and margins that HashPaint set.
void SetPlotGeometry(run::RunState& s);

// Truncation toward zero to a pixel coordinate; values beyond the 32-bit range stop at its
// ends and a NaN gives 0, so that no input can overflow.
std::int32_t TruncPixel(long double v);

// A speed above SpeedFullScale is drawn at full scale.
double LimitSpeed(const run::RunState& s, double speed);
// The y of a speed already limited, as a real; trunc of it is the pixel row.
double SpeedToPointY(const run::RunState& s, double limitedSpeed);

// x of block `block` and of sector `sector`. The products with XScale are formed in extended
// precision, where XScale (the double nearest 1.452, just below it) puts block 250 on
// MarginLeft + 362, not 363.
std::int32_t BlockToX(const run::RunState& s, std::int32_t block);
std::int32_t SectorToX(const run::RunState& s, double sector);

// The speed curve: a move to (MarginLeft, trunc(PointY)) for the first timed block, then a
// line on to (x, trunc(PointY)) for each later one, one pixel wide in CurveColor.
void BeginCurve(const run::RunState& s, platform::Canvas& canvas);
void DrawCurveTo(const run::RunState& s, platform::Canvas& canvas, std::int32_t x);

// The mark of an unreadable block at x: a 2 x 2 square in ErrorColor just below the zero line.
// Leaves the pen colour at ErrorColor and the pen position where it was.
void DrawErrorMark(const run::RunState& s, platform::Canvas& canvas, std::int32_t x);

// The dotted vertical line at the sector position of VolumeSize, from MarginTop to Baseline,
// in MarkerColor with opaque gaps in ChartBackColor; the pen is solid again afterwards.
void DrawDiscSizeMarker(const run::RunState& s, platform::Canvas& canvas);

// The title line at the top of the chart: the system's name and the volume label, cut to 255
// characters, in the font colour on the brush.
void DrawTitle(const run::RunState& s, platform::Canvas& canvas);

// The end of a run or a replay on the chart, in the font colour on ChartBackColor: the program
// title and copyright line, and the highest and lowest speed, on the top row or, when the
// highest speed is above 5000 KB/s (on a CD's scale) and its curve would run through them, on
// the low row.
void DrawSummary(const run::RunState& s, platform::Canvas& canvas);

}  // namespace results
