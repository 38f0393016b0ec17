#include "bench/PacedRunBench.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

#include "bench/BenchClock.h"
#include "bench/QuietPrompts.h"
#include "bench/RealTimeSystem.h"
#include "bench/TimerEventWatch.h"
#include "ui/qt/Unit1.h"

namespace bench {

namespace {

// A moment of the run: the real clock and the modelled time the drive has spent so far.
struct Mark {
    std::int64_t ns = 0;
    double modelMs = 0.0;
};

double RealMs(const Mark& from, const Mark& to) {
    return static_cast<double>(to.ns - from.ns) / 1e6;
}

}  // namespace

platform::SimDiscParams PacedDisc() {
    platform::SimDiscParams p;
    p.volumeSectors = 40'000;
    p.volumeId = "PACED";
    p.innerSpeedX = 21.0;
    p.outerSpeedX = 52.0;
    p.seekMs = 0.0;
    p.paceDivisor = 1.0;
    return p;
}

PacedRun RunPaced(const platform::SimDiscParams& disc, int limitMs) {
    PacedRun run;
    run.drive = std::make_shared<platform::SimDrive>(disc);
    platform::SimDrive& drive = *run.drive;
    auto system = std::make_unique<RealTimeSystem>(run.drive);
    const RealTimeSystem& clock = *system;
    ui::qt::TForm1 form(std::move(system),
                        std::make_unique<QuietPrompts>(QuietPrompts::Events::Window));
    form.show();
    QCoreApplication::processEvents();
    run.timerMs = form.Timer1()->interval();

    const auto now = [&drive] { return Mark{MonotonicNs(), drive.Clock().ElapsedMs()}; };
    QEventLoop loop;
    Mark begin;
    Mark lastEnd;
    Mark tickStart;
    // A tick starts when Timer1 reaches the window or, as a rule, when the pause that woke
    // early has slept out the rest (the model's clock read then is a little later).
    TimerEventWatch watch(form.Timer1(), [&] { tickStart = now(); });
    const auto tickDone = [&] {
        run.pauseOverheadMs += RealMs(lastEnd, tickStart) - run.timerMs;
        lastEnd = now();
        ++run.ticks;
        run.tickOverheadMs += RealMs(tickStart, lastEnd) - (lastEnd.modelMs - tickStart.modelMs);
        if (!form.Timer1()->isActive()) {
            run.finished = true;
            loop.quit();
        }
    };
    // Connected after the window's own handlers, so they run when the tick is done.
    QObject::connect(form.Timer1(), &QTimer::timeout, &loop, tickDone);
    QObject::connect(form.Pause(), &ui::qt::PrecisePause::Due, &loop, [&] {
        // Nothing is read between two ticks: the model's clock stood where the last one left it.
        tickStart.modelMs = lastEnd.modelMs;
        tickStart.ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           form.Pause()->LastDue().time_since_epoch())
                           .count();
        tickDone();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);

    begin = now();
    form.Button1Click();
    lastEnd = now();
    run.startOverheadMs = RealMs(begin, lastEnd) - (lastEnd.modelMs - begin.modelMs);
    if (form.Timer1()->isActive()) {
        loop.exec();
    }
    form.Timer1()->stop();
    run.wallMs = RealMs(begin, lastEnd);
    run.modelledMs = lastEnd.modelMs - begin.modelMs;
    run.document = form.Document();
    run.realReads = clock.RealReads();
    return run;
}

}  // namespace bench
