#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "run/RunWindow.h"

namespace cli {

// The window of a run without a screen: it keeps what a run shows (panel texts, gauge,
// marks, timer, drive list) for the command to read and print. Controls start as the
// window's do when it opens.
class TerminalWindow final : public run::RunWindow {
  public:
    TerminalWindow();

    void SetPanelText(run::Panel panel, std::string_view text) override;
    void SetGaugeProgress(std::int32_t value) override { gaugeProgress_ = value; }
    void SetGaugeMaxValue(std::int32_t value) override { gaugeMax_ = value; }
    void SetGaugeColors(platform::Color, platform::Color) override {}
    void SetEnabled(run::Control control, bool enabled) override;
    bool IsEnabled(run::Control control) const override;
    void SetFocus(run::Control) override {}
    bool IsChecked(run::MenuMark item) const override;
    void SetChecked(run::MenuMark item, bool checked) override;
    std::int32_t ReadSpeedChoice() const override { return readSpeed_; }
    void SetReadSpeedChoice(std::int32_t speed) { readSpeed_ = speed; }
    void SetTimerEnabled(bool enabled) override { timer_ = enabled; }
    void SetDriveList(const std::vector<std::string>& items) override;
    std::string DriveListText() const override { return driveText_; }
    void ChartChanged() override {}
    void RunEnded(bool) override {
        if (runEnded_) {
            runEnded_();
        }
    }
    // What the command draws at the end of the run, before the files are saved.
    void SetRunEnded(std::function<void()> ended) { runEnded_ = std::move(ended); }

    const std::string& PanelText(run::Panel panel) const;
    bool TimerEnabled() const { return timer_; }
    std::int32_t GaugeProgress() const { return gaugeProgress_; }
    std::int32_t GaugeMax() const { return gaugeMax_; }
    const std::vector<std::string>& DriveItems() const { return driveItems_; }

  private:
    std::array<std::string, 5> panels_;
    std::set<run::Control> enabled_;
    std::set<run::MenuMark> checked_;
    bool timer_ = false;
    std::int32_t gaugeProgress_ = 0;
    std::int32_t gaugeMax_ = 100;
    std::int32_t readSpeed_ = 0;
    std::vector<std::string> driveItems_;
    std::string driveText_;
    std::function<void()> runEnded_;
};

}  // namespace cli
