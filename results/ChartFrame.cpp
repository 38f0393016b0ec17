#include "results/ChartFrame.h"

#include <cmath>
#include <limits>

#include "results/NumberText.h"

namespace results {

namespace {

constexpr std::int32_t kSpeedSteps = 14;  // grid steps of 600 KB/s
constexpr std::int32_t kBlockSteps = 19;  // grid steps of 29 pixels

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

}  // namespace

void HashPaint(engine::RunState& s, platform::Canvas& canvas) {
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetPenColor(s.ChartBackColor);
    s.ChartWidth = canvas.Target().Width();
    s.ChartHeight = canvas.Target().Height();
    canvas.Rectangle(0, 0, s.ChartWidth, s.ChartHeight);

    s.MarginLeft = 30;
    s.MarginRight = 10;
    s.MarginTop = 15;
    s.MarginBottom = 28;

    const double rowStep =
        static_cast<double>(s.ChartHeight - (s.MarginTop + s.MarginBottom)) / kSpeedSteps;
    for (std::int32_t i = 0; i <= kSpeedSteps; ++i) {
        canvas.SetPenWidth(1);
        canvas.SetPenColor(s.GridColor);
        const std::int32_t y = s.MarginTop + TruncPixel(i * rowStep);
        canvas.MoveTo(s.MarginLeft, y);
        canvas.LineTo(s.ChartWidth - s.MarginRight, y);
    }

    const double columnStep =
        static_cast<double>(s.ChartWidth - (s.MarginLeft + s.MarginRight)) / kBlockSteps;
    for (std::int32_t i = 0; i <= kBlockSteps; ++i) {
        canvas.SetPenWidth(1);
        canvas.SetPenColor(s.GridColor);
        const std::int32_t x = s.MarginLeft + TruncPixel(i * columnStep);
        canvas.MoveTo(x, s.MarginTop);
        canvas.LineTo(x, s.ChartHeight - s.MarginBottom);
    }

    canvas.SetFontColor(s.LabelColor);
    canvas.TextOut(2, 1, "Transfer Speed - Kb/s");
    canvas.TextOut(53, 327, kXCaption);
    canvas.TextOut(482, 339, "Block = 1000 Sectors");

    double p = 13.0;
    for (const SpeedLabel& label : kSpeedLabels) {
        const std::int32_t y = TruncPixel(p);
        canvas.TextOut(2, y, label.speed);
        // "x8" is one digit short, so it moves right to end where the others end.
        canvas.TextOut(label.multiple[2] == '\0' ? 12 : 8, y + 12, label.multiple);
        p += 43.5;
    }
}

void SetPlotGeometry(engine::RunState& s) {
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

double LimitSpeed(const engine::RunState& s, double speed) {
    return speed > s.SpeedFullScale ? static_cast<double>(s.SpeedFullScale) : speed;
}

double SpeedToPointY(const engine::RunState& s, double limitedSpeed) {
    if (s.SpeedFullScale == 0) {
        return s.Baseline;  // no scale yet: nothing above the zero line
    }
    return s.Baseline - s.PlotHeight * limitedSpeed / s.SpeedFullScale;
}

std::int32_t BlockToX(const engine::RunState& s, std::int32_t block) {
    const long double product = static_cast<long double>(block) * s.XScale;
    return TruncPixel(s.MarginLeft + std::trunc(product));
}

std::int32_t SectorToX(const engine::RunState& s, double sector) {
    const long double product = static_cast<long double>(sector) * s.XScale / 1000;
    return TruncPixel(s.MarginLeft + std::trunc(product));
}

void BeginCurve(const engine::RunState& s, platform::Canvas& canvas) {
    canvas.MoveTo(s.MarginLeft, TruncPixel(s.PointY));
}

void DrawCurveTo(const engine::RunState& s, platform::Canvas& canvas, std::int32_t x) {
    canvas.SetPenWidth(1);
    canvas.SetPenColor(s.CurveColor);
    canvas.LineTo(x, TruncPixel(s.PointY));
}

void DrawErrorMark(const engine::RunState& s, platform::Canvas& canvas, std::int32_t x) {
    canvas.SetPenColor(s.ErrorColor);
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.Rectangle(x, SaturatedSum(s.Baseline, 1), SaturatedSum(x, 2),
                     SaturatedSum(s.Baseline, 3));
}

void DrawDiscSizeMarker(const engine::RunState& s, platform::Canvas& canvas) {
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetPenWidth(1);
    canvas.SetPenStyle(platform::PenStyle::Dotted);
    canvas.SetPenColor(s.MarkerColor);
    const std::int32_t x = SectorToX(s, s.VolumeSize);
    canvas.MoveTo(x, s.MarginTop);
    canvas.LineTo(x, s.Baseline);
    canvas.SetPenStyle(platform::PenStyle::Solid);
}

void DrawTitle(const engine::RunState& s, platform::Canvas& canvas) {
    engine::ShortText title("OS - ");
    title.Append(s.OSName).Append("      Volume - ").Append(s.VolumeLabel);
    canvas.TextOut(120, 1, title);
}

void DrawSummary(const engine::RunState& s, platform::Canvas& canvas) {
    constexpr std::int32_t kSummaryX = 454;
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.TextOut(40, 25, s.ProgramTitle);
    canvas.TextOut(40, 45, s.CopyrightLine);
    const std::int32_t y = s.MaxSpeed > 5000 ? 282 : 25;
    canvas.TextOut(kSummaryX, y, "Max. Speed (Kb/s) - " + TruncToText(s.MaxSpeed));
    canvas.TextOut(kSummaryX, y + 20, "Min.  Speed (Kb/s) - " + TruncToText(s.MinSpeed));
}

}  // namespace results
