// Where the program stands: loading and replaying the largest data file, one tick's own
// work, start-up to the first painted window, how closely a run on a drive paced in real
// time measures the drive's speeds, what a whole run costs beyond its reads, and a whole DVD
// image run against dd. Prints one table; progress goes to the error output.
#include <stdlib.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QApplication>
#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "bench/BenchClock.h"
#include "bench/Fidelity.h"
#include "bench/ImageRunBench.h"
#include "bench/LargestDocument.h"
#include "bench/PacedRunBench.h"
#include "bench/ReplayBench.h"
#include "bench/ResultTable.h"
#include "bench/StartUpBench.h"
#include "bench/Stats.h"
#include "bench/TickBench.h"
#include "ui/qt/Unit1.h"

namespace {

using bench::Fixed;
using bench::Median;

constexpr int kReplaysWithout = 7;
constexpr int kReplaysWith = 3;
// A screen's refresh, as a measure of how often a replay need let the window paint.
constexpr int kScreenPaceMs = 16;
constexpr int kTickBatches = 20;
constexpr int kTicksPerBatch = 2000;
constexpr int kStartUpLaunches = 10;
constexpr int kPacedRunLimitMs = 60'000;

constexpr double kReplayWithoutTargetMs = 10.0;
constexpr double kReplayWithTargetMs = 500.0;
constexpr double kTickTargetUs = 50.0;
constexpr double kStartUpTargetMs = 300.0;
constexpr double kFidelityTargetPercent = 1.0;
constexpr int kImageRunLimitMs = 120'000;
constexpr double kImageRunTargetPercent = 2.0;

void Progress(std::string_view what) {
    std::cerr << "discometer-bench: " << what << '\n';
}

std::string SelfPath() {
    std::array<char, 4096> path{};
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    return n > 0 ? std::string(path.data(), static_cast<std::size_t>(n)) : std::string();
}

std::string MachineNote() {
    std::string cpu = "unknown processor";
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);) {
        if (line.starts_with("model name")) {
            cpu = line.substr(line.find(':') + 2);
            break;
        }
    }
    utsname names{};
    ::uname(&names);
    return "machine: " + cpu + ", " + std::to_string(std::thread::hardware_concurrency()) +
           " cores, Linux " + names.release + ", Qt " + qVersion() +
           ", QT_QPA_PLATFORM=" + qEnvironmentVariable("QT_QPA_PLATFORM").toStdString();
}

std::string Spread(const std::vector<double>& values, int decimals) {
    return Fixed(bench::Smallest(values), decimals) + "-" + Fixed(bench::Largest(values), decimals);
}

// qtFree was measured before the QApplication was made.
void ReplayRows(bench::ResultTable& table, const bench::SavedDocument& saved,
                const bench::ReplayTimes& qtFree) {
    if (!saved.Ok()) {
        table.Add({"Load + replay of 16,777 lines, no event pass", "cannot write /tmp", "< 10 ms",
                   bench::Outcome::NotMeasured});
        return;
    }
    const double withoutMs = Median(qtFree.ms);
    table.Add({"Load + replay of 16,777 lines, no event pass", Fixed(withoutMs, 2) + " ms",
               "< 10 ms", bench::Judge(qtFree.complete, withoutMs < kReplayWithoutTargetMs)});
    Progress("replay without the event pass, in the Qt process");
    const bench::ReplayTimes inQt = bench::ReplayWithoutEvents(saved.Path(), kReplaysWithout);
    table.Note("replay without the event pass: load of the file and the Load Data handler with " +
               std::string("the window interfaces of the tests, before Qt has started; median ") +
               "of " + std::to_string(kReplaysWithout) + " after a warm-up, spread " +
               Spread(qtFree.ms, 2) + " ms, " + std::to_string(qtFree.eventPasses) +
               " event passes (no-ops)" + (qtFree.complete ? "" : ", INCOMPLETE") +
               "; the same once the QApplication exists: " + Fixed(Median(inQt.ms), 2) + " ms");

    Progress("replay with the window's event pass");
    const bench::ReplayTimes with = bench::ReplayWithEvents(saved.Path(), kReplaysWith);
    const double withMs = Median(with.ms);
    table.Add({"Load + replay of 16,777 lines, window's event pass", Fixed(withMs, 0) + " ms",
               "< 500 ms", bench::Judge(with.complete, withMs < kReplayWithTargetMs)});
    table.Note("replay with the event pass: Load Data in the offscreen window, the real " +
               std::string("prompts' event pass (processEvents) between lines; median of ") +
               std::to_string(kReplaysWith) + " after a warm-up, spread " + Spread(with.ms, 0) +
               " ms, " + std::to_string(with.eventPasses) + " event passes, " +
               std::to_string(with.chartPaints) + " chart paints" +
               (with.complete ? "" : ", INCOMPLETE"));
    const bench::ReplayTimes limited =
        bench::ReplayWithEvents(saved.Path(), kReplaysWith, kScreenPaceMs);
    table.Note("for comparison, the same replay with the event pass let through at most once " +
               std::string("in ") + std::to_string(kScreenPaceMs) + " ms: " +
               Fixed(Median(limited.ms), 0) + " ms, " + std::to_string(limited.chartPaints) +
               " chart paints" + (limited.complete ? "" : ", INCOMPLETE"));
}

void TickRow(bench::ResultTable& table) {
    Progress("one tick's own work");
    const bench::TickTimes ticks = bench::MeasureTicks(kTickBatches, kTicksPerBatch);
    const double us = Median(ticks.ownWorkUs);
    table.Add({"One tick's own work, without the read", Fixed(us, 1) + " us", "< 50 us",
               bench::Judge(!ticks.ownWorkUs.empty(), us < kTickTargetUs)});
    table.Note("tick: offscreen window, a drive that answers at once, the tick handler called " +
               std::string("directly; median of ") + std::to_string(kTickBatches) + " batches of " +
               std::to_string(kTicksPerBatch) + " ticks, spread " + Spread(ticks.ownWorkUs, 1) +
               " us; with the repaint it asks for: " + Fixed(Median(ticks.withRepaintUs), 1) +
               " us");
}

void StartUpRow(bench::ResultTable& table, const std::string& self) {
    Progress("start-up to the first painted window");
    const bench::StartUpTimes times = bench::MeasureStartUp(self.c_str(), kStartUpLaunches);
    const bool measured = !times.fromSpawnMs.empty();
    const double ms = Median(times.fromSpawnMs);
    table.Add({"Start-up to the first painted window (offscreen)",
               measured ? Fixed(ms, 0) + " ms" : "no child painted", "< 300 ms",
               bench::Judge(measured, ms < kStartUpTargetMs && times.failures == 0)});
    table.Note(
        "start-up: from spawning a child process (this program with " +
        std::string(bench::kFirstPaintFlag) +
        ", which makes the window as the program's main does) to the end of the event " +
        "pass that first painted the chart; median of " + std::to_string(times.fromSpawnMs.size()) +
        " launches, spread " + Spread(times.fromSpawnMs, 0) +
        " ms; from the QApplication being made: " + Fixed(Median(times.fromApplicationMs), 0) +
        " ms; failed launches: " + std::to_string(times.failures));
}

void PacedRows(bench::ResultTable& table) {
    const platform::SimDiscParams disc = bench::PacedDisc();
    Progress("a whole run on a drive paced in real time (about 15 s)");
    const bench::PacedRun run = bench::RunPaced(disc, kPacedRunLimitMs);
    const bench::Fidelity f = bench::CompareWithModel(run.document, *run.drive, run.realReads);
    const int reads = static_cast<int>(f.reads.size());
    const bool fidelityMeasured = run.finished && reads > 0;
    table.Add(
        {"Fidelity: recorded vs modelled speed, median / worst abs. error",
         Fixed(f.medianAbsErrorPercent, 2) + " % / " + Fixed(f.worstAbsErrorPercent, 2) + " %",
         "<= 1 % + 1 tick",
         bench::Judge(fidelityMeasured,
                      f.worstBeyondTickPercent <= kFidelityTargetPercent && f.unmatched == 0)});
    table.Add({"Fidelity: reads within +-1 tick of the model",
               std::to_string(f.withinTick) + " of " + std::to_string(reads) + " (bound " +
                   Fixed(f.smallestTickBoundPercent, 2) + "-" +
                   Fixed(f.largestTickBoundPercent, 2) + " %); of the real read: " +
                   std::to_string(f.withinTickOfReal) + " of " + std::to_string(reads),
               "(how much the tick explains)", bench::Outcome::NoTarget});
    table.Note("fidelity: " + std::to_string(disc.volumeSectors) + "-sector CAV disc from " +
               Fixed(disc.innerSpeedX, 0) + "x to " + Fixed(disc.outerSpeedX, 0) +
               "x, every read slept out in real time, the run's ticks from CLOCK_MONOTONIC in " +
               "whole ms; each result line against its timed read (data sectors x 2 KB / " +
               "modelled ms); median signed error " + Fixed(f.medianErrorPercent, 2) +
               " %, worst beyond the tick bound " + Fixed(f.worstBeyondTickPercent, 2) +
               " %; tick bound = 1 ms / (modelled ms - 1) + 1 KB/s of the truncated figure; " +
               (f.withinTickOfReal == reads
                    ? "against each read's real duration all the error left is the tick's; "
                    : "against each read's real duration " + std::to_string(f.withinTickOfReal) +
                          " of " + std::to_string(reads) + " lie within one tick; ") +
               "the reads really took a median " + Fixed(f.medianLateMs, 2) +
               " ms longer than modelled, at most " + Fixed(f.largestLateMs, 2) +
               " ms (the sleep's overshoot, copying the sectors, being scheduled late)" +
               (f.unmatched > 0
                    ? "; result lines without their read: " + std::to_string(f.unmatched)
                    : std::string()));

    const double expected = run.modelledMs + run.ticks * run.timerMs;
    const double overhead = run.wallMs - expected;
    table.Add({"Whole-run overhead beyond reads + " + std::to_string(run.timerMs) + " ms pauses",
               run.finished ? Fixed(overhead, 0) + " ms (" +
                                  Fixed(expected > 0 ? overhead / expected * 100.0 : 0.0, 2) + " %)"
                            : "run did not finish",
               "none set", bench::Outcome::NoTarget});
    table.Note("whole run: the same run, offscreen window, its " + std::to_string(run.timerMs) +
               " ms QTimer in a Qt event loop; wall " + Fixed(run.wallMs, 0) + " ms against " +
               Fixed(run.modelledMs, 0) + " ms of modelled reads + " + std::to_string(run.ticks) +
               " ticks x " + std::to_string(run.timerMs) + " ms; of the overhead: run start " +
               Fixed(run.startOverheadMs, 1) + " ms, pauses beyond the timer's interval " +
               Fixed(run.pauseOverheadMs, 1) + " ms, ticks beyond their reads " +
               Fixed(run.tickOverheadMs, 1) + " ms (sleep overshoot and tick work)");
}

// The share by which `ms` exceeds `expected`, signed, as text.
std::string Excess(double ms, double expected) {
    const double percent = (ms - expected) / expected * 100.0;
    return (percent >= 0 ? "+" : "") + Fixed(percent, 2) + " %";
}

void DvdImageRows(bench::ResultTable& table) {
    Progress("whole runs on a full single-layer DVD image (about 20 s)");
    const bench::ImageRun run = bench::RunDvdImage("/tmp", DISCOMETER_CLI, kImageRunLimitMs);
    const double expected = run.ExpectedMs();
    const auto row = [&](const std::string& who, bool measured, double ms) {
        const bool known = measured && run.ddMs >= 0;
        table.Add({"Whole DVD image run (" + std::to_string(run.blocks) + " blocks), " + who +
                       ", vs dd + pauses",
                   known ? Fixed(ms, 0) + " ms vs " + Fixed(expected, 0) + " ms (" +
                               Excess(ms, expected) + ")"
                         : "not measured",
                   "within 2 %",
                   bench::Judge(known, std::abs(ms - expected) / expected * 100.0 <=
                                           kImageRunTargetPercent)});
    };
    row("command line", run.cliMs >= 0, run.cliMs);
    row("window", run.windowFinished, run.windowMs);
    const bool both = run.cliMs > 0 && run.windowFinished;
    table.Add({"Whole DVD image run, window vs command line",
               both ? Fixed(run.windowMs, 0) + " ms vs " + Fixed(run.cliMs, 0) + " ms (" +
                          Excess(run.windowMs, run.cliMs) + ")"
                    : "not measured",
               "at most 2 % longer",
               bench::Judge(both, (run.windowMs - run.cliMs) / run.cliMs * 100.0 <=
                                      kImageRunTargetPercent)});
    table.Note("DVD image: a sparse image of 2,295,104 sectors (4.7 GB of volume descriptor " +
               std::string("and holes, so that the figures are the program's and the system's, ") +
               "not a disk's) in /tmp, measured with the 1000 sequencer, which reads every " +
               "sector from 16 to the end in reads of 1000 through the raw device (O_DIRECT): " +
               "discometer-cli from spawn to exit, and the offscreen window from Start to its " +
               "last tick; against dd iflag=direct bs=2048000 count=" + std::to_string(run.blocks) +
               " on the same image (" + Fixed(run.ddMs, 0) + " ms) plus " +
               std::to_string(run.ticks) + " pauses of " + std::to_string(run.pauseMs) +
               " ms. The same reads with a plain sleep between " +
               "ticks, no program around them, take " + Fixed(run.bareMs, 0) + " ms (" +
               Excess(run.bareMs, expected) + "): reads after a sleep are slower than dd's " +
               "back-to-back ones and each sleep wakes late. Of the window's time: run start " +
               Fixed(run.startMs, 1) + " ms, ticks " + Fixed(run.ticksMs, 0) +
               " ms (reads and drawing), pauses beyond the timer's interval " +
               Fixed(run.pauseOverheadMs, 0) +
               " ms (the window wakes a millisecond early and sleeps the rest, and the sleep " +
               "wakes late as the command line's does)");
}

}  // namespace

int main(int argc, char* argv[]) {
    const long long mainStartNs = bench::MonotonicNs();
    // Every figure is taken with Qt's offscreen platform, the children's too.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc > 1 && std::string_view(argv[1]) == bench::kFirstPaintFlag) {
        return bench::FirstPaintChild(argc, argv, mainStartNs);
    }
    const std::int64_t began = bench::MonotonicNs();
    const bench::SavedDocument saved(bench::LargestDocument());
    bench::ReplayTimes qtFree;
    if (saved.Ok()) {
        Progress("replay without the event pass, before Qt starts");
        qtFree = bench::ReplayWithoutEvents(saved.Path(), kReplaysWithout);
    }
    QApplication app(argc, argv);
    ui::qt::UseClassicLook(app);

    bench::ResultTable table;
    ReplayRows(table, saved, qtFree);
    TickRow(table);
    StartUpRow(table, SelfPath());
    PacedRows(table);
    DvdImageRows(table);
    table.Note(MachineNote());
    table.Note("whole benchmark: " +
               Fixed(static_cast<double>(bench::MonotonicNs() - began) / 1e9, 0) + " s");
    table.Print(std::cout);
    return 0;
}
