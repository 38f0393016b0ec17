// One tick of a run in the offscreen window, without the read: the result line, the status
// texts, the gauge, the curve segment and the repaint request. The drive answers every read at
// once, so what is measured is the tick's own work.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <memory>

#include "bench/InstantSystem.h"
#include "bench/QuietPrompts.h"
#include "ui/ButtonPictures.h"
#include "ui/Unit1.h"

namespace {

QApplication& App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "bench_tick";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static const bool styled = [] {
        ui::UseClassicLook(app);
        return true;
    }();
    (void)styled;
    return app;
}

std::unique_ptr<ui::TForm1> ShownWindow() {
    App();
    auto form = std::make_unique<ui::TForm1>(
        std::make_unique<bench::InstantSystem>(),
        std::make_unique<bench::QuietPrompts>(bench::QuietPrompts::Events::None));
    form->show();
    QCoreApplication::processEvents();
    return form;
}

// Ticks one after another; a run that reaches the end of the disc is started again outside
// the measured time. With `paint`, the repaint each tick asks for is also done.
void TickLoop(benchmark::State& state, bool paint) {
    const auto form = ShownWindow();
    form->Button1Click();
    for (auto _ : state) {
        if (form->Button1()->isEnabled()) {
            state.PauseTiming();
            form->Button1Click();
            state.ResumeTiming();
        }
        form->Timer1Timer();
        if (paint) {
            // The bench drives the ticks itself: Qt's timer must not add its own.
            form->Timer1()->stop();
            QCoreApplication::processEvents();
        }
    }
}

void BM_TickOwnWork(benchmark::State& state) {
    TickLoop(state, false);
}
BENCHMARK(BM_TickOwnWork)->Unit(benchmark::kMicrosecond);

void BM_TickWithRepaint(benchmark::State& state) {
    TickLoop(state, true);
}
BENCHMARK(BM_TickWithRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
