#include "results/ComparisonChart.h"

#include "results/ChartFrame.h"

namespace results {

void DrawEarlierCurveBehind(const run::RunState& s, platform::Canvas& canvas,
                            const std::vector<BlockResult>& earlier) {
    if (earlier.empty()) {
        return;
    }
    // The curve goes onto a layer of its own first, so that it can be laid under what the
    // later run drew rather than over it.
    platform::Bitmap& chart = canvas.Target();
    platform::Bitmap layer(chart.Width(), chart.Height(), s.ChartBackColor);
    platform::Canvas curve(layer);
    curve.SetPenWidth(1);
    curve.SetPenColor(kEarlierCurveColor);
    const auto rowOf = [&s](double speed) {
        return TruncPixel(SpeedToPointY(s, LimitSpeed(s, speed)));
    };
    curve.MoveTo(s.MarginLeft, rowOf(earlier.front().Speed));
    for (std::size_t i = 1; i < earlier.size(); ++i) {
        curve.LineTo(BlockToX(s, earlier[i].BlockIndex), rowOf(earlier[i].Speed));
    }

    for (std::int32_t y = 0; y < chart.Height(); ++y) {
        const auto from = layer.Row(y);
        const auto to = chart.Row(y);
        for (std::size_t x = 0; x < to.size(); ++x) {
            if (from[x] == kEarlierCurveColor &&
                (to[x] == s.ChartBackColor || to[x] == s.GridColor)) {
                to[x] = kEarlierCurveColor;
            }
        }
    }

    canvas.SetFontColor(s.TitleColor);
    DrawSummary(s, canvas);
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetFontColor(kEarlierCurveColor);
    canvas.TextOut(s.MarginLeft, kLegendRow, kEarlierLegend);
}

}  // namespace results
