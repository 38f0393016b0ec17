#include "bench/ReplayBench.h"

#include <QCoreApplication>
#include <memory>

#include "bench/BenchClock.h"
#include "bench/InstantSystem.h"
#include "bench/PaintWatch.h"
#include "bench/QuietPrompts.h"
#include "results/Replay.h"
#include "startup/StartUp.h"
#include "support/RunFakes.h"
#include "ui/qt/BitmapImage.h"
#include "ui/qt/StatusBar.h"
#include "ui/qt/Unit1.h"

namespace bench {

namespace {

// The status text a replay leaves when it has gone through every line.
constexpr std::string_view kComplete = "Complete";

// Counts the replay's event passes and hands them on to the window, all of them or at most
// one within each interval: what a replay would cost if the window caught up at a screen's
// pace rather than after every line.
class EventPassPrompts final : public run::UserPrompts {
  public:
    EventPassPrompts(run::UserPrompts& inner, std::int64_t intervalNs)
        : inner_(inner), intervalNs_(intervalNs) {}
    void Sound_Done() override { inner_.Sound_Done(); }
    void Sound_Error() override { inner_.Sound_Error(); }
    void ShowMessage(std::string_view text) override { inner_.ShowMessage(text); }
    void ShowError(std::string_view text) override { inner_.ShowError(text); }
    std::optional<std::string> AskFileName(run::FileDialog d) override {
        return inner_.AskFileName(d);
    }
    void ProcessPendingEvents() override {
        ++passes;
        if (intervalNs_ > 0) {
            const std::int64_t now = MonotonicNs();
            if (now - lastNs_ < intervalNs_) {
                return;
            }
            lastNs_ = now;
        }
        inner_.ProcessPendingEvents();
    }
    int passes = 0;

  private:
    run::UserPrompts& inner_;
    std::int64_t intervalNs_;
    std::int64_t lastNs_ = 0;
};

}  // namespace

ReplayTimes ReplayWithoutEvents(const std::string& path, int repetitions) {
    ReplayTimes times;
    InstantSystem system;
    run::RunState state;
    results::DataList document;
    run::Chart chart;
    fakes::FakeWindow window;
    fakes::FakePrompts prompts;
    run::RunContext ctx{state, document, chart, system, window, prompts};
    startup::StartUp(ctx);
    for (int i = 0; i <= repetitions; ++i) {
        prompts.answers.push_back(path);
        prompts.eventPasses = 0;
        window.panels.clear();
        const std::int64_t t0 = MonotonicNs();
        results::LoadData(ctx);
        const std::int64_t t1 = MonotonicNs();
        if (i > 0) {
            times.ms.push_back(static_cast<double>(t1 - t0) / 1e6);
        }
    }
    times.eventPasses = prompts.eventPasses;
    times.complete = window.Panel(run::Panel::State) == kComplete && prompts.errors.empty();
    return times;
}

ReplayTimes ReplayWithEvents(const std::string& path, int repetitions, int atMostEveryMs) {
    ReplayTimes times;
    auto quiet = std::make_unique<QuietPrompts>(QuietPrompts::Events::Window);
    quiet->AnswerFileDialogs(path);
    auto counting =
        std::make_unique<EventPassPrompts>(*quiet, std::int64_t{atMostEveryMs} * 1'000'000);
    EventPassPrompts& passes = *counting;
    ui::qt::TForm1 form(std::make_unique<InstantSystem>(), std::move(counting));
    form.show();
    QCoreApplication::processEvents();
    PaintWatch paints(form.Image1());
    for (int i = 0; i <= repetitions; ++i) {
        passes.passes = 0;
        paints.Reset();
        const std::int64_t t0 = MonotonicNs();
        form.LoadData1Click();
        const std::int64_t t1 = MonotonicNs();
        if (i > 0) {
            times.ms.push_back(static_cast<double>(t1 - t0) / 1e6);
        }
    }
    times.eventPasses = passes.passes;
    times.chartPaints = paints.Paints();
    times.complete = form.StatusBar1()->PanelText(static_cast<int>(run::Panel::State)) ==
                     QLatin1String(kComplete.data());
    return times;
}

}  // namespace bench
