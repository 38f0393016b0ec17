// The main window in the Win32 API.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/System.h"
#include "run/RunWindow.h"
#include "ui/forms/BackgroundReads.h"
#include "ui/forms/MainFormCore.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Gauges.h"
#include "ui/win32/Menus.h"
#include "ui/win32/ToolTip.h"

namespace ui::win32 {

// The main window: the chart, the progress gauge, the drive list, Start and Stop, the status
// bar, the menus and the timer that drives a run, in the Win32 API. What it runs on and the
// handlers that hand the run to the engine come from MainFormCore.
class TForm1 final : public FormWindow, public forms::MainFormCore {
  public:
    // The identifier of Timer1's WM_TIMER messages.
    static constexpr UINT_PTR kTimer1Id = 1;
    // The timer after which a read still out shows "Reading..." with its block.
    static constexpr UINT_PTR kReadingNoteId = 2;

    // Making the window runs FormCreate; check StartUpStatus() before showing it.
    TForm1(std::unique_ptr<platform::System> system, std::unique_ptr<run::UserPrompts> prompts);
    ~TForm1() override;

    // Shows the window as the program was asked to (SW_SHOW, ...), with the focus on the first
    // control of the tab order.
    void Show(int showCommand = SW_SHOW);

    // Shows the about box; tests put their own in its place, as the box is modal.
    void SetAboutBox(std::function<void(HWND owner)> show) { showAbout_ = std::move(show); }

    // Event handlers of this window's own.
    void About1Click() override;
    // The Read Speed items: the chosen one takes the check mark.
    void ReadSpeedClick(std::int32_t speed);

    // What the window shows of it.
    TGauge& Gauge1() const { return Controls().ObjectOf<TGauge>("Gauge1"); }
    const MenuBar& Menus() const { return menuBar_; }
    std::string PanelText(run::Panel panel) const;
    bool TimerEnabled() const { return timerEnabled_; }
    // Whether a read is out on the reading thread: no command but Stop is taken meanwhile.
    bool ReadOut() const { return reads_->ReadOut(); }
    // The drive list's tooltip.
    std::string DriveListTip() const { return driveTip_->Text(); }

    // What a run shows.
    void SetPanelText(run::Panel panel, std::string_view text) override;
    void SetStatusNote(std::string_view text) override;
    // The note across the status bar; empty while the bar shows its panels.
    const std::string& StatusNote() const { return note_; }
    void SetPanelWidths(run::PanelWidths widths) override;
    void SetGaugeProgress(std::int32_t value) override;
    void SetGaugeMaxValue(std::int32_t value) override;
    void SetGaugeColors(platform::Color back, platform::Color fore) override;
    void SetEnabled(run::Control control, bool enabled) override;
    bool IsEnabled(run::Control control) const override;
    void SetFocus(run::Control control) override;
    bool IsChecked(run::MenuMark item) const override;
    void SetChecked(run::MenuMark item, bool checked) override;
    std::int32_t ReadSpeedChoice() const override;
    void SetTimerEnabled(bool enabled) override;
    void SetDriveList(const std::vector<std::string>& items) override;
    std::string DriveListText() const override;
    void ChartChanged() override;
    bool Closing() const override { return closing_; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RunCommand(forms::Command command) override;
    void MenuCommand(UINT id) override;

  private:
    // A run in progress simply stops: the timer ends and the drive is let go.
    void StopRunNow();
    // The window the run logic's name stands for, or nullptr for a menu.
    HWND ControlWindow(run::Control control) const;
    // The drive list's tooltip: what the system knows of the drive shown.
    void ShowDriveIdentity();
    // Runs the window's messages until the read that is out comes back.
    void WaitForRead(const std::function<bool()>& done);

    forms::BackgroundReadSystem* reads_ = nullptr;  // the system the window runs on
    std::optional<std::string> stateBeforeNote_;    // the state panel's text under the note
    bool closeWhenReadBack_ = false;
    MenuBar menuBar_;
    std::unique_ptr<ToolTip> driveTip_;
    // The status panels as they are now: the classic ones or the wide ones.
    std::span<const forms::StatusPanelSpec> statusPanels_;
    // The panels' texts, kept while a note across the bar stands in their place.
    std::array<std::string, forms::kStatusPanelCount> panelTexts_;
    std::string note_;
    std::function<void(HWND owner)> showAbout_;
    bool timerEnabled_ = false;
    bool closing_ = false;
};

}  // namespace ui::win32
