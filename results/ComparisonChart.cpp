#include "results/ComparisonChart.h"

#include <algorithm>
#include <cstdint>

#include "results/ChartFrame.h"

namespace results {

namespace {

bool ShowsField(const run::RunState& s, platform::Color pixel) {
    return pixel == s.ChartBackColor || pixel == s.GridColor;
}

// A 2 x 2 square with its top left corner at (x, y); a corner at the end of the 32-bit range
// gives a square cut off there rather than one that overflows.
void Square(platform::Canvas& canvas, std::int32_t x, std::int32_t y, platform::Color color) {
    const auto end = [](std::int32_t v) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{v} + 2, INT32_MAX));
    };
    canvas.SetBrushColor(color);
    canvas.FillRect({x, y, end(x), end(y)});
}

std::string Counted(std::size_t count, const char* what) {
    return std::to_string(count) + " " + what;
}

}  // namespace

void DrawEarlierRun(const run::RunState& s, platform::Canvas& canvas,
                    const std::vector<BlockResult>& earlier) {
    if (earlier.empty()) {
        return;
    }
    // The earlier run goes onto a layer of its own first, so that it can be laid under what
    // the chart holds rather than over it.
    platform::Bitmap& chart = canvas.Target();
    platform::Bitmap layer(chart.Width(), chart.Height(), s.ChartBackColor);
    platform::Canvas drawn(layer);
    drawn.SetPenWidth(1);
    drawn.SetPenColor(kEarlierCurveColor);
    const auto rowOf = [&s](double speed) {
        return TruncPixel(SpeedToPointY(s, LimitSpeed(s, speed)));
    };
    drawn.MoveTo(s.MarginLeft, rowOf(earlier.front().Speed));
    for (std::size_t i = 1; i < earlier.size(); ++i) {
        drawn.LineTo(BlockToX(s, earlier[i].BlockIndex), rowOf(earlier[i].Speed));
    }

    for (std::int32_t y = 0; y < chart.Height(); ++y) {
        const auto from = layer.Row(y);
        const auto to = chart.Row(y);
        for (std::size_t x = 0; x < to.size(); ++x) {
            if (from[x] != s.ChartBackColor && ShowsField(s, to[x])) {
                to[x] = from[x];
            }
        }
    }

    // A run measured after it goes on from the pen and colours it left.
    const platform::Point pen = canvas.PenPos();
    const platform::Color penColor = canvas.PenColor();
    const platform::Color fontColor = canvas.FontColor();
    const platform::Color brushColor = canvas.BrushColor();
    DrawEarlierErrorMarks(s, canvas, earlier);

    const std::int32_t markX = s.MarginLeft + canvas.TextWidth(kEarlierLegend) + 12;
    Square(canvas, markX, kLegendRow + 5, kEarlierErrorColor);
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetFontColor(kEarlierCurveColor);
    canvas.TextOut(s.MarginLeft, kLegendRow, kEarlierLegend);
    canvas.SetFontColor(kEarlierErrorColor);
    canvas.TextOut(markX + 5, kLegendRow, kEarlierErrorLegend);
    canvas.MoveTo(pen.x, pen.y);
    canvas.SetPenColor(penColor);
    canvas.SetFontColor(fontColor);
    canvas.SetBrushColor(brushColor);
}

void DrawEarlierErrorMarks(const run::RunState& s, platform::Canvas& canvas,
                           const std::vector<BlockResult>& earlier) {
    const std::int32_t markTop = s.Baseline - kEarlierErrorAbove;
    for (const BlockResult& block : earlier) {
        if (block.Speed == 0) {
            Square(canvas, BlockToX(s, block.BlockIndex), markTop, kEarlierErrorColor);
        }
    }
    canvas.SetBrushColor(s.ChartBackColor);
}

void DrawEarlierCurveBehind(const run::RunState& s, platform::Canvas& canvas,
                            const std::vector<BlockResult>& earlier) {
    if (earlier.empty()) {
        return;
    }
    DrawEarlierRun(s, canvas, earlier);
    canvas.SetFontColor(s.TitleColor);
    DrawSummary(s, canvas);
}

std::string VerdictNote(const RunComparison& c) {
    switch (c.verdict) {
        case Verdict::Worse: {
            std::string why;
            if (!c.newUnreadable.empty()) {
                why = Counted(c.newUnreadable.size(), "new unreadable");
            }
            if (!c.slower.empty()) {
                const char* regions = c.slower.size() == 1 ? "slower region" : "slower regions";
                why += (why.empty() ? "" : ", ") + Counted(c.slower.size(), regions);
            }
            return "Worse: " + why;
        }
        case Verdict::Better:
            return "Better: " + Counted(c.recovered.size(), "recovered");
        case Verdict::Same:
            break;
    }
    return "Same as the earlier run";
}

}  // namespace results
