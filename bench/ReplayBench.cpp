#include "bench/ReplayBench.h"

#include <QCoreApplication>
#include <memory>

#include "bench/BenchClock.h"
#include "bench/InstantSystem.h"
#include "bench/PaintWatch.h"
#include "bench/QuietPrompts.h"
#include "results/Replay.h"
#include "system/StartUp.h"
#include "tests/RunFakes.h"
#include "ui/BitmapImage.h"
#include "ui/StatusBar.h"
#include "ui/Unit1.h"

namespace bench {

namespace {

// The status text a replay leaves when it has gone through every line.
constexpr std::string_view kComplete = "Complete";

// The window's event pass as a counter, so that the passes can be told without Qt.
class CountingPrompts final : public engine::UserPrompts {
  public:
    explicit CountingPrompts(engine::UserPrompts& inner) : inner_(inner) {}
    void Sound_Done() override { inner_.Sound_Done(); }
    void Sound_Error() override { inner_.Sound_Error(); }
    void ShowMessage(std::string_view text) override { inner_.ShowMessage(text); }
    void ShowError(std::string_view text) override { inner_.ShowError(text); }
    std::optional<std::string> AskFileName(engine::FileDialog d) override {
        return inner_.AskFileName(d);
    }
    void ProcessPendingEvents() override {
        ++passes;
        inner_.ProcessPendingEvents();
    }
    int passes = 0;

  private:
    engine::UserPrompts& inner_;
};

}  // namespace

ReplayTimes ReplayWithoutEvents(const std::string& path, int repetitions) {
    ReplayTimes times;
    InstantSystem system;
    engine::RunState state;
    results::DataList document;
    engine::Chart chart;
    fakes::FakeWindow window;
    fakes::FakePrompts prompts;
    engine::RunContext ctx{state, document, chart, system, window, prompts};
    system_env::StartUp(ctx);
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
    times.complete = window.Panel(engine::Panel::State) == kComplete && prompts.errors.empty();
    return times;
}

ReplayTimes ReplayWithEvents(const std::string& path, int repetitions) {
    ReplayTimes times;
    auto quiet = std::make_unique<QuietPrompts>(QuietPrompts::Events::Window);
    quiet->AnswerFileDialogs(path);
    auto counting = std::make_unique<CountingPrompts>(*quiet);
    CountingPrompts& passes = *counting;
    ui::TForm1 form(std::make_unique<InstantSystem>(), std::move(counting));
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
    times.complete = form.StatusBar1()->PanelText(static_cast<int>(engine::Panel::State)) ==
                     QLatin1String(kComplete.data());
    return times;
}

}  // namespace bench
