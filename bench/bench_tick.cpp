// One tick of a run in the offscreen window, without the read: the result line, the status
// texts, the gauge, the curve segment and the repaint request. The drive answers every read at
// once, so what is measured is the tick's own work.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <memory>

#include "platform/SimDrive.h"
#include "platform/System.h"
#include "ui/ButtonPictures.h"
#include "ui/Unit1.h"

namespace {

constexpr std::int64_t kDescriptorOffset = 16 * 2048;
constexpr const char* kDriveEntry = "bench";

// A disc as large as the volume descriptor can say (16,777,215 sectors), so that a run lasts
// for thousands of ticks. Only the descriptor is really read; every other read succeeds at
// once without touching the buffer.
class InstantDevice final : public platform::DeviceFile {
  public:
    explicit InstantDevice(const platform::SimDrive& disc) : disc_(disc) {}

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        if (byteOffset == kDescriptorOffset && dst.size() >= 2048) {
            disc_.SectorContent(16, dst.first(2048));
        }
        return true;
    }

  private:
    const platform::SimDrive& disc_;
};

class InstantSystem final : public platform::System {
  public:
    InstantSystem() : disc_(Disc()) {}

    std::unique_ptr<platform::DeviceFile> OpenDevice(const std::string& entry) override {
        return entry == kDriveEntry ? std::make_unique<InstantDevice>(disc_) : nullptr;
    }
    // Readings 190 or 210 ms apart, so that the curve moves around 8000 KB/s.
    std::uint32_t TickCount() override {
        ticks_ += (++readings_ % 4 < 2) ? 190 : 210;
        return ticks_;
    }
    platform::VersionRecord QueryVersion() override {
        return {6, 1, (6u << 24) | (1u << 16) | 28u, platform::kPlatformLinux, "6.1.0-28-amd64"};
    }
    std::vector<std::string> CandidateDrives() override { return {kDriveEntry}; }
    platform::DriveType DriveTypeOf(const std::string& entry) override {
        return entry == kDriveEntry ? platform::DriveType::CdRom : platform::DriveType::NoRootDir;
    }
    std::shared_ptr<platform::LoadedModule> LoadModule(const std::string&) override {
        return nullptr;
    }

  private:
    static platform::SimDiscParams Disc() {
        platform::SimDiscParams p;
        p.volumeSectors = 0xFFFFFF;
        p.volumeId = "BENCH";
        return p;
    }

    platform::SimDrive disc_;
    std::uint32_t ticks_ = 0;
    std::uint32_t readings_ = 0;
};

class SilentPrompts final : public engine::UserPrompts {
  public:
    void Sound_Done() override {}
    void Sound_Error() override {}
    void ShowMessage(std::string_view) override {}
    void ShowError(std::string_view) override {}
    std::optional<std::string> AskFileName(engine::FileDialog) override { return std::nullopt; }
    void ProcessPendingEvents() override {}
};

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
    auto form = std::make_unique<ui::TForm1>(std::make_unique<InstantSystem>(),
                                             std::make_unique<SilentPrompts>());
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
