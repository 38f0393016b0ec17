// Drawing speed: the empty chart with a full run's curve, and the gauge's paint.
#include <benchmark/benchmark.h>

#include <cmath>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "results/ChartFrame.h"
#include "run/RunState.h"
#include "ui/forms/GaugeCore.h"

namespace {

// HashPaint and a 380-point curve with its disc-size marker, as a replay of a full disc draws
// them.
void BM_HashPaintAndCurve(benchmark::State& state) {
    run::RunState s;
    run::SetChartDefaults(s);
    platform::Bitmap picture(591, 352);
    platform::Canvas canvas(picture);
    for (auto _ : state) {
        results::HashPaint(s, canvas);
        results::SetPlotGeometry(s);
        s.VolumeSize = 359999;
        results::DrawDiscSizeMarker(s, canvas);
        s.PointY = results::SpeedToPointY(s, 1200);
        results::BeginCurve(s, canvas);
        for (std::int32_t block = 1; block <= 380; ++block) {
            const double speed = 1200 + 6000.0 * block / 380 + 400 * std::sin(block * 0.7);
            s.PointY = results::SpeedToPointY(s, results::LimitSpeed(s, speed));
            results::DrawCurveTo(s, canvas, results::BlockToX(s, block));
        }
        benchmark::DoNotOptimize(picture.Pixels().data());
    }
}
BENCHMARK(BM_HashPaintAndCurve)->Unit(benchmark::kMicrosecond);

// One paint of the main window's gauge: a horizontal bar with its percentage.
void BM_GaugePaint(benchmark::State& state) {
    ui::forms::GaugeCore gauge;
    gauge.SetSize(200, 16);
    gauge.SetBorderStyle(ui::forms::bsNone);
    gauge.SetMaxValue(360);
    std::int32_t progress = 0;
    for (auto _ : state) {
        gauge.SetProgress(progress);
        progress = (progress + 7) % 361;
        benchmark::DoNotOptimize(gauge.Paint());
    }
}
BENCHMARK(BM_GaugePaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
