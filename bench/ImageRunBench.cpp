#include "bench/ImageRunBench.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "bench/BenchClock.h"
#include "bench/QuietPrompts.h"
#include "bench/TimerEventWatch.h"
#include "platform/SectorBuffer.h"
#include "platform/SimDrive.h"
#include "platform/System.h"
#include "ui/qt/Unit1.h"

namespace bench {

namespace {

constexpr std::uint32_t kDvdSectors = 2295104;
constexpr int kPauseMs = 5;  // the window's timer; the command line waits as long

// The wall time of a shell command, or -1 when it fails.
double TimeCommand(const std::string& command) {
    const double start = MonotonicMs();
    const int status = std::system(command.c_str());
    const double ms = MonotonicMs() - start;
    return status == 0 ? ms : -1.0;
}

// The run's reads: sectors 16 to 999, then whole blocks from 1000 on, two to a tick.
double TimeBareReads(const std::string& image, int blocks) {
    const auto system = platform::MakeNativeSystem(image);
    const auto device = system->OpenDevice(image);
    if (!device) {
        return -1.0;
    }
    platform::SectorBuffer buffer;
    const auto block = [&](std::int64_t first, std::int64_t count) {
        return device->ReadAt(
            static_cast<std::uint64_t>(first) * platform::kSectorBytes,
            buffer.span().first(static_cast<std::size_t>(count) * platform::kSectorBytes));
    };
    const double start = MonotonicMs();
    bool ok = block(16, 984) && block(1000, 1000);
    for (std::int64_t b = 2; ok && b + 1 < blocks; b += 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
        ok = block(b * 1000, 1000) && block((b + 1) * 1000, 1000);
    }
    return ok ? MonotonicMs() - start : -1.0;
}

void RunWindow(ImageRun& run, const std::string& image, int limitMs) {
    ui::qt::TForm1 form(platform::MakeNativeSystem(image),
                        std::make_unique<QuietPrompts>(QuietPrompts::Events::None));
    form.show();
    QCoreApplication::processEvents();
    form.N1000Click();
    QEventLoop loop;
    double end = 0.0;
    double tickStart = 0.0;
    const double interval = form.Timer1()->interval();
    // A tick starts when Timer1 reaches the window or, as a rule, when the pause that woke
    // early has slept out the rest.
    TimerEventWatch watch(form.Timer1(), [&] { tickStart = MonotonicMs(); });
    const auto tickDone = [&] {
        run.pauseOverheadMs += tickStart - end - interval;
        end = MonotonicMs();
        run.ticksMs += end - tickStart;
        ++run.ticks;
        if (!form.Timer1()->isActive()) {
            run.windowFinished = true;
            loop.quit();
        }
    };
    // Connected after the window's own handlers, so they run when the tick is done.
    QObject::connect(form.Timer1(), &QTimer::timeout, &loop, tickDone);
    QObject::connect(form.Pause(), &ui::qt::PrecisePause::Due, &loop, [&] {
        tickStart = SteadyMs(form.Pause()->LastDue());
        tickDone();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    const double begin = MonotonicMs();
    form.Button1Click();
    end = MonotonicMs();
    run.startMs = end - begin;
    if (form.Timer1()->isActive()) {
        loop.exec();
    }
    form.Timer1()->stop();
    run.windowMs = end - begin;
}

}  // namespace

ImageRun RunDvdImage(const std::string& folder, const std::string& cli, int limitMs) {
    ImageRun run;
    run.pauseMs = kPauseMs;
    run.blocks = static_cast<int>(kDvdSectors / 1000);
    const std::string image = folder + "/discometer-bench-dvd.iso";
    platform::SimDiscParams disc;
    disc.volumeSectors = kDvdSectors;
    disc.volumeId = "BENCH_DVD";
    if (!platform::WriteSparseImage(disc, image)) {
        return run;
    }
    run.ddMs = TimeCommand("dd if='" + image + "' of=/dev/null bs=2048000 iflag=direct " +
                           "status=none count=" + std::to_string(run.blocks));
    run.bareMs = TimeBareReads(image, run.blocks);
    run.cliMs =
        TimeCommand("'" + cli + "' measure '" + image + "' --sequencer 1000 > /dev/null 2>&1");
    RunWindow(run, image, limitMs);
    std::error_code ec;
    std::filesystem::remove(image, ec);
    return run;
}

}  // namespace bench
