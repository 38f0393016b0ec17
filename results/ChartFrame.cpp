#include "results/ChartFrame.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "results/ChartAxes.h"
#include "results/NumberText.h"

namespace results {

namespace {

constexpr std::int32_t kSpeedSteps = 14;  // grid rows; a CD's are 600 KB/s apart
constexpr std::int32_t kBlockSteps = 19;  // grid steps of 29 pixels
constexpr std::int32_t kCaptionRow = 327;
constexpr std::int32_t kUnitLeft = 482;
constexpr std::int32_t kUnitRow = 339;
constexpr const char* kSpeedCaption = "Transfer Speed - Kb/s";
constexpr const char* kCdUnitCaption = "Block = 1000 Sectors";
constexpr const char* kScaledUnitCaption = "Sectors x 1000";

struct SpeedLabel {
    const char* speed;
    const char* multiple;
};
constexpr SpeedLabel kSpeedLabels[] = {
    {"8400", "x56"}, {"7200", "x48"}, {"6000", "x40"}, {"4800", "x32"},
    {"3600", "x24"}, {"2400", "x16"}, {"1200", "x8"},
};

std::int32_t SaturatedSum(std::int64_t a, std::int64_t b) {
    const std::int64_t sum = a + b;
    if (sum > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (sum < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(sum);
}

// A solid line of the grid, one pixel wide; the end point is not painted.
void DrawGridLine(const run::RunState& s, platform::Canvas& canvas, std::int32_t x0,
                  std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    canvas.SetPenWidth(1);
    canvas.SetPenColor(s.GridColor);
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

// Thousands of sectors to x; BlockToX for any 64-bit count.
std::int32_t ThousandsToX(const run::RunState& s, std::int64_t thousands) {
    const long double product = static_cast<long double>(thousands) * s.XScale;
    return TruncPixel(s.MarginLeft + std::trunc(product));
}

// The CD's 20 columns of 29 pixels, one caption text under them and the unit.
void DrawCdColumns(const run::RunState& s, platform::Canvas& canvas) {
    const double columnStep =
        static_cast<double>(s.ChartWidth - (s.MarginLeft + s.MarginRight)) / kBlockSteps;
    for (std::int32_t i = 0; i <= kBlockSteps; ++i) {
        const std::int32_t x = s.MarginLeft + TruncPixel(i * columnStep);
        DrawGridLine(s, canvas, x, s.MarginTop, x, s.ChartHeight - s.MarginBottom);
    }
    canvas.SetFontColor(s.LabelColor);
    canvas.TextOut(2, 1, kSpeedCaption);
    canvas.TextOut(53, kCaptionRow, kXCaption);
    canvas.TextOut(kUnitLeft, kUnitRow, kCdUnitCaption);
}

// A column at every grid step of a scaled axis, each numbered under its line, and the unit
// where the CD chart has its own.
void DrawScaledColumns(const run::RunState& s, platform::Canvas& canvas) {
    const run::ChartLayout& layout = s.Layout;
    for (std::int32_t i = 0; i <= layout.gridSteps; ++i) {
        const std::int32_t x = ThousandsToX(s, i * layout.gridStep);
        DrawGridLine(s, canvas, x, s.MarginTop, x, s.ChartHeight - s.MarginBottom);
    }
    canvas.SetFontColor(s.LabelColor);
    canvas.TextOut(2, 1, kSpeedCaption);
    for (std::int32_t i = 1; i <= layout.gridSteps; ++i) {
        const std::string number = GridStepText(i * layout.gridStep);
        const std::int32_t width = canvas.TextWidth(number);
        // The last number ends at the picture's edge rather than past it.
        const std::int32_t x =
            std::min(ThousandsToX(s, i * layout.gridStep) - width / 2, s.ChartWidth - width);
        canvas.TextOut(x, kCaptionRow, number);
    }
    const std::int32_t unitEnd = kUnitLeft + canvas.TextWidth(kCdUnitCaption);
    canvas.TextOut(unitEnd - canvas.TextWidth(kScaledUnitCaption), kUnitRow, kScaledUnitCaption);
}

// Label rows: the speed text at trunc(p), its multiple 12 pixels lower; p starts at 13 and
// moves down by 43.5 from one labelled grid row to the next.
constexpr double kFirstLabelRow = 13.0;
constexpr double kLabelRowStep = 43.5;

void DrawCdSpeedLabels(platform::Canvas& canvas) {
    double p = kFirstLabelRow;
    for (const SpeedLabel& label : kSpeedLabels) {
        const std::int32_t y = TruncPixel(p);
        canvas.TextOut(2, y, label.speed);
        // "x8" is one digit short, so it moves right to end where the others end.
        canvas.TextOut(label.multiple[2] == '\0' ? 12 : 8, y + 12, label.multiple);
        p += kLabelRowStep;
    }
}

// A DVD's or a Blu-ray's speeds have five digits: they end as far before the speed axis as
// the CD's "8400" does, the widest starting where the CD's do, and the multiples end where
// the CD's "x56" ends.
void DrawMediumSpeedLabels(const run::RunState& s, platform::Canvas& canvas) {
    const SpeedScale& scale = SpeedScaleOf(s.Layout.medium);
    const std::int32_t multipleEnd = 8 + canvas.TextWidth("x56");
    const std::int32_t speedEnd = s.MarginLeft - (kMarginLeft - 2 - canvas.TextWidth("8400"));
    double p = kFirstLabelRow;
    for (std::int32_t row = kSpeedSteps / 2; row >= 1; --row) {
        const std::int32_t multiple = row * scale.labelStepX;
        const std::string speed = MediumSpeedLabel(scale, row);
        const std::string times = "x" + std::to_string(multiple);
        const std::int32_t y = TruncPixel(p);
        canvas.TextOut(speedEnd - canvas.TextWidth(speed), y, speed);
        canvas.TextOut(multipleEnd - canvas.TextWidth(times), y + 12, times);
        p += kLabelRowStep;
    }
}

}  // namespace

void HashPaint(run::RunState& s, platform::Canvas& canvas) {
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetPenColor(s.ChartBackColor);
    s.ChartWidth = canvas.Target().Width();
    s.ChartHeight = canvas.Target().Height();
    canvas.Rectangle(0, 0, s.ChartWidth, s.ChartHeight);

    s.MarginLeft = MarginLeftOf(s.Layout.medium);
    s.MarginRight = kMarginRight;
    s.MarginTop = kMarginTop;
    s.MarginBottom = kMarginBottom;

    const double rowStep =
        static_cast<double>(s.ChartHeight - (s.MarginTop + s.MarginBottom)) / kSpeedSteps;
    for (std::int32_t i = 0; i <= kSpeedSteps; ++i) {
        const std::int32_t y = s.MarginTop + TruncPixel(i * rowStep);
        DrawGridLine(s, canvas, s.MarginLeft, y, s.ChartWidth - s.MarginRight, y);
    }

    if (s.Layout.ScaledAxis()) {
        DrawScaledColumns(s, canvas);
    } else {
        DrawCdColumns(s, canvas);
    }
    if (s.Layout.medium == run::Medium::CD) {
        DrawCdSpeedLabels(canvas);
    } else {
        DrawMediumSpeedLabels(s, canvas);
    }
}

void SetPlotGeometry(run::RunState& s) {
    s.PlotHeight = s.ChartHeight - s.MarginTop - s.MarginBottom;
    s.Baseline = s.ChartHeight - s.MarginBottom;
}

std::int32_t TruncPixel(long double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= static_cast<long double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (v <= static_cast<long double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(std::trunc(v));
}

double LimitSpeed(const run::RunState& s, double speed) {
    return speed > s.SpeedFullScale ? static_cast<double>(s.SpeedFullScale) : speed;
}

double SpeedToPointY(const run::RunState& s, double limitedSpeed) {
    if (s.SpeedFullScale == 0) {
        return s.Baseline;  // no scale yet: nothing above the zero line
    }
    return s.Baseline - s.PlotHeight * limitedSpeed / s.SpeedFullScale;
}

std::int32_t BlockToX(const run::RunState& s, std::int32_t block) {
    return ThousandsToX(s, block);
}

std::int32_t SectorToX(const run::RunState& s, double sector) {
    const long double product = static_cast<long double>(sector) * s.XScale / 1000;
    return TruncPixel(s.MarginLeft + std::trunc(product));
}

void BeginCurve(const run::RunState& s, platform::Canvas& canvas) {
    canvas.MoveTo(s.MarginLeft, TruncPixel(s.PointY));
}

void DrawCurveTo(const run::RunState& s, platform::Canvas& canvas, std::int32_t x) {
    canvas.SetPenWidth(1);
    canvas.SetPenColor(s.CurveColor);
    canvas.LineTo(x, TruncPixel(s.PointY));
}

void DrawErrorMark(const run::RunState& s, platform::Canvas& canvas, std::int32_t x) {
    canvas.SetPenColor(s.ErrorColor);
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.Rectangle(x, SaturatedSum(s.Baseline, 1), SaturatedSum(x, 2),
                     SaturatedSum(s.Baseline, 3));
}

void DrawDiscSizeMarker(const run::RunState& s, platform::Canvas& canvas) {
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetPenWidth(1);
    canvas.SetPenStyle(platform::PenStyle::Dotted);
    canvas.SetPenColor(s.MarkerColor);
    const std::int32_t x = SectorToX(s, s.VolumeSize);
    canvas.MoveTo(x, s.MarginTop);
    canvas.LineTo(x, s.Baseline);
    canvas.SetPenStyle(platform::PenStyle::Solid);
}

void DrawTitle(const run::RunState& s, platform::Canvas& canvas) {
    run::ShortText title("OS - ");
    title.Append(s.OSName).Append("      Volume - ").Append(s.VolumeLabel);
    canvas.TextOut(120, 1, title);
}

void DrawSummary(const run::RunState& s, platform::Canvas& canvas) {
    constexpr std::int32_t kSummaryX = 454;
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.TextOut(40, 25, s.ProgramTitle);
    canvas.TextOut(40, 45, s.CopyrightLine);
    // 5000 KB/s on the CD's scale of 8400, the same height on another medium's.
    const double lowRowAbove = FullScaleKBs(s.Layout.medium) * 5000 / 8400;
    const std::int32_t y = s.MaxSpeed > lowRowAbove ? 282 : 25;
    const std::string maxText = "Max. Speed (Kb/s) - " + TruncToText(s.MaxSpeed);
    const std::string minText = "Min.  Speed (Kb/s) - " + TruncToText(s.MinSpeed);
    // Longer numbers move the texts left rather than past the picture's edge: a disc image
    // on a fast disk gives seven digits even on the CD chart. A drive's speeds fit where
    // they stand.
    const std::int32_t widest = std::max(canvas.TextWidth(maxText), canvas.TextWidth(minText));
    const std::int32_t x = std::max(0, std::min(kSummaryX, s.ChartWidth - widest));
    canvas.TextOut(x, y, maxText);
    canvas.TextOut(x, y + 20, minText);
}

}  // namespace results
