#include "bench/TickBench.h"

#include <QCoreApplication>
#include <QTimer>
#include <memory>

#include "bench/BenchClock.h"
#include "bench/InstantSystem.h"
#include "bench/QuietPrompts.h"
#include "ui/qt/ButtonPictures.h"
#include "ui/qt/Unit1.h"

namespace bench {

namespace {

// Ticks one batch; a run that has reached the end of its disc starts again outside the timed
// part. Returns microseconds a tick.
double TickBatch(ui::qt::TForm1& form, int ticks, bool repaint) {
    std::int64_t spent = 0;
    for (int i = 0; i < ticks; ++i) {
        if (form.Button1()->isEnabled()) {
            form.Button1Click();
        }
        const std::int64_t t0 = MonotonicNs();
        form.Timer1Timer();
        if (repaint) {
            // The bench gives the ticks itself: Qt's timer must not add its own.
            form.Timer1()->stop();
            QCoreApplication::processEvents();
        }
        spent += MonotonicNs() - t0;
    }
    return static_cast<double>(spent) / 1e3 / ticks;
}

}  // namespace

TickTimes MeasureTicks(int batches, int ticksPerBatch) {
    TickTimes times;
    ui::qt::TForm1 form(std::make_unique<InstantSystem>(),
                        std::make_unique<QuietPrompts>(QuietPrompts::Events::None));
    form.show();
    QCoreApplication::processEvents();
    TickBatch(form, ticksPerBatch, false);  // warm-up
    for (int b = 0; b < batches; ++b) {
        times.ownWorkUs.push_back(TickBatch(form, ticksPerBatch, false));
    }
    for (int b = 0; b < batches; ++b) {
        times.withRepaintUs.push_back(TickBatch(form, ticksPerBatch / 10, true));
    }
    form.Timer1()->stop();
    return times;
}

}  // namespace bench
