// Recording stand-ins for the window and the user, and a whole program around a simulated
// drive, for the tests of runs, start-up and saving.
#pragma once

#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/MeasurementLoop.h"
#include "engine/RunStart.h"
#include "platform/SimSystem.h"
#include "results/ResultsDocument.h"
#include "run/RunContext.h"
#include "startup/StartUp.h"
#include "ui/forms/GaugeCore.h"

namespace fakes {

class FakeWindow : public run::RunWindow {
  public:
    FakeWindow() {
        for (auto c : {run::Control::StartButton, run::Control::StopButton, run::Control::DriveList,
                       run::Control::FilesMenu, run::Control::LoadData}) {
            enabled.insert(c);
        }
        gauge.SetSize(209, 15);
    }

    void SetPanelText(run::Panel panel, std::string_view text) override {
        panels[static_cast<int>(panel)] = std::string(text);
    }
    void SetPanelWidths(run::PanelWidths widths) override { panelWidths = widths; }
    void SetGaugeProgress(std::int32_t value) override { gauge.SetProgress(value); }
    void SetGaugeMaxValue(std::int32_t value) override { gauge.SetMaxValue(value); }
    void SetGaugeColors(platform::Color back, platform::Color fore) override {
        gauge.SetBackColor(back);
        gauge.SetForeColor(fore);
    }
    void SetEnabled(run::Control control, bool on) override {
        if (on) {
            enabled.insert(control);
        } else {
            enabled.erase(control);
        }
    }
    bool IsEnabled(run::Control control) const override { return enabled.count(control) > 0; }
    void SetFocus(run::Control control) override { focus = control; }
    bool IsChecked(run::MenuMark item) const override { return checked.count(item) > 0; }
    void SetChecked(run::MenuMark item, bool on) override {
        markLog.emplace_back(item, on);
        if (on) {
            checked.insert(item);
        } else {
            checked.erase(item);
        }
    }
    std::int32_t ReadSpeedChoice() const override { return readSpeed; }
    void SetTimerEnabled(bool on) override { timer = on; }
    void SetDriveList(const std::vector<std::string>& items) override {
        driveItems = items;
        driveText = items.empty() ? std::string() : items.front();
    }
    std::string DriveListText() const override { return driveText; }
    void ChartChanged() override { ++chartChanges; }
    bool Closing() const override { return closing; }

    std::string Panel(run::Panel p) const {
        const auto it = panels.find(static_cast<int>(p));
        return it == panels.end() ? std::string() : it->second;
    }

    std::map<int, std::string> panels;
    std::optional<run::PanelWidths> panelWidths;
    std::int32_t readSpeed = 0;
    std::set<run::Control> enabled;
    std::optional<run::Control> focus;
    std::set<run::MenuMark> checked;
    std::vector<std::pair<run::MenuMark, bool>> markLog;
    bool timer = false;
    std::vector<std::string> driveItems;
    std::string driveText;
    int chartChanges = 0;
    bool closing = false;
    ui::forms::GaugeCore gauge;
};

class FakePrompts : public run::UserPrompts {
  public:
    void Sound_Done() override { sounds.push_back("DONE"); }
    void Sound_Error() override { sounds.push_back("ERROR"); }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowError(std::string_view text) override { errors.emplace_back(text); }
    std::optional<std::string> AskFileName(run::FileDialog dialog) override {
        asked.push_back(dialog);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ProcessPendingEvents() override {
        ++eventPasses;
        if (onEvents) {
            onEvents();
        }
    }

    std::vector<std::string> sounds;
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<run::FileDialog> asked;
    std::deque<std::optional<std::string>> answers;
    int eventPasses = 0;
    // What the user does while the window handles its events.
    std::function<void()> onEvents;
};

// A disc of 20,000 sectors read at exactly 8000 KB/s: 800 sectors take 200 ms.
inline platform::SimDiscParams SmallDisc(std::uint32_t sectors = 20000) {
    platform::SimDiscParams p;
    p.volumeSectors = sectors;
    p.volumeId = "SMALL";
    p.fixedMsPerSector = 0.25;
    return p;
}

// The small disc some years on: block 10 unreadable, blocks 3 to 8 read at half speed.
inline platform::SimDiscParams AgedSmallDisc() {
    platform::SimDiscParams disc = SmallDisc();
    disc.unreadable.push_back({10000, 10999});
    disc.slow.push_back({{3000, 8999}, 0.5});
    return disc;
}

// A data file of a 400,000-sector disc with 200 result lines: long enough for the user to click
// while it is replayed.
inline void WriteLongDataFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "[VolInfo]\r\nVolSize=400000\r\n\r\n[TransferResults]\r\n1 4000\r\n";
    for (int b = 3; b < 400; b += 2) {
        out << b << ' ' << 3000 + b * 10 << "\r\n";
    }
}

// A whole program, started up, on one simulated drive.
struct Program {
    explicit Program(platform::SimDiscParams disc = SmallDisc())
        : drive(std::make_shared<platform::SimDrive>(std::move(disc))), system(drive) {
        startStatus = startup::StartUp(ctx);
    }

    bool Start() { return engine::StartRun(ctx); }
    // Ticks while the timer is on, as the window's timer would; bounded so a fault cannot
    // hang the test.
    int RunToEnd(int maxTicks = 100000) {
        int ticks = 0;
        while (window.timer && ticks < maxTicks) {
            engine::MeasureTick(ctx);
            ++ticks;
        }
        return ticks;
    }
    void Tick() { engine::MeasureTick(ctx); }
    platform::Color Pixel(int x, int y) const { return chart.bitmap.Pixel(x, y); }

    std::shared_ptr<platform::SimDrive> drive;
    platform::SimSystem system;
    run::RunState state;
    results::DataList dataList;
    run::Chart chart;
    FakeWindow window;
    FakePrompts prompts;
    run::RunContext ctx{state, dataList, chart, system, window, prompts};
    std::optional<int> startStatus;
};

}  // namespace fakes
