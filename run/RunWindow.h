#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/Color.h"
#include "run/FileErrorText.h"

namespace run {

// The five panels of the status bar, from the left.
enum class Panel : int { State = 0, BlocksRead = 1, BlocksError = 2, Speed = 3, SectorsTotal = 4 };

// Widths of the status panels: the classic ones, or wider ones for the longer numbers of a
// DVD or a Blu-ray volume.
enum class PanelWidths { Classic, Wide };

// Controls whose enabled state and focus a run changes.
enum class Control {
    StartButton,
    StopButton,
    DriveList,
    FilesMenu,
    SaveGraphic,
    SaveData,
    LoadData,
    CompareWith
};

// Menu items that carry a check mark.
enum class MenuMark { AutoSave, N1000, N800, N600 };

// The file dialogs.
enum class FileDialog { SaveGraphic, SaveData, LoadData, CompareWith };

// What a run, a replay and start-up show in the window. The Qt window, the command-line
// companion and the tests each provide one.
class RunWindow {
  public:
    virtual ~RunWindow() = default;

    virtual void SetPanelText(Panel panel, std::string_view text) = 0;
    // One line across the whole status bar, over its panels; an empty text shows the panels
    // again. A window without room for it may ignore it.
    virtual void SetStatusNote(std::string_view text) { (void)text; }
    // A window whose panels hold any text may ignore it.
    virtual void SetPanelWidths(PanelWidths widths) { (void)widths; }
    virtual void SetGaugeProgress(std::int32_t value) = 0;
    // May throw the gauge's range error, as the gauge itself does.
    virtual void SetGaugeMaxValue(std::int32_t value) = 0;
    virtual void SetGaugeColors(platform::Color back, platform::Color fore) = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;
    virtual bool IsEnabled(Control control) const = 0;
    virtual void SetFocus(Control control) = 0;
    virtual bool IsChecked(MenuMark item) const = 0;
    virtual void SetChecked(MenuMark item, bool checked) = 0;
    // The read speed chosen for the next run, one of kReadSpeeds; the drive's maximum unless
    // the window offers a choice.
    virtual std::int32_t ReadSpeedChoice() const { return 0; }
    virtual void SetTimerEnabled(bool enabled) = 0;
    // Fills the drive list and selects its first item.
    virtual void SetDriveList(const std::vector<std::string>& items) = 0;
    virtual std::string DriveListText() const = 0;
    // The chart bitmap has changed and should be shown again.
    virtual void ChartChanged() = 0;
    // A run has ended, finished, stopped (`stopped`) or ended by its disc, and its summary is
    // on the chart; the window's controls and the saving at the end come after it.
    virtual void RunEnded(bool stopped) { (void)stopped; }
    // True once the user has closed the window: a long operation that lets events run
    // stops at its next step.
    virtual bool Closing() const { return false; }
};

// What the user hears, is told and is asked.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;

    // Both sounds play to their end before the call returns.
    virtual void Sound_Done() = 0;
    virtual void Sound_Error() = 0;
    // A modal message box.
    virtual void ShowMessage(std::string_view text) = 0;
    // The application's error box, for files that cannot be opened or created.
    virtual void ShowError(std::string_view text) = 0;
    // A file that cannot be created or opened, and why: "Cannot create file NAME: REASON",
    // "Cannot open file NAME: REASON".
    virtual void ShowCreateError(const std::string& path, std::error_code reason) {
        ShowError(FileErrorText("Cannot create file", path, reason));
    }
    virtual void ShowOpenError(const std::string& path, std::error_code reason) {
        ShowError(FileErrorText("Cannot open file", path, reason));
    }
    // The chosen file name, or nothing when the user cancels.
    virtual std::optional<std::string> AskFileName(FileDialog dialog) = 0;
    // Lets the window handle its pending events, from inside a long operation.
    virtual void ProcessPendingEvents() = 0;
};

}  // namespace run
