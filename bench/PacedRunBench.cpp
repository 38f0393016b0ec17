#include "bench/PacedRunBench.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

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
    TimerEventWatch watch(form.Timer1(), [&] {
        tickStart = now();
        run.pauseOverheadMs += RealMs(lastEnd, tickStart) - run.timerMs;
    });
    // Connected after the window's own handler, so it runs when the tick is done.
    QObject::connect(form.Timer1(), &QTimer::timeout, &loop, [&] {
        lastEnd = now();
        ++run.ticks;
        run.tickOverheadMs += RealMs(tickStart, lastEnd) - (lastEnd.modelMs - tickStart.modelMs);
        if (!form.Timer1()->isActive()) {
            run.finished = true;
            loop.quit();
        }
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
