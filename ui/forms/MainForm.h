// The main window as data: the chart, the progress and drive groups, Start and Stop, the
// status bar, the menus, the file dialogs and the timer.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "run/RunWindow.h"
#include "ui/forms/FormSpec.h"

namespace ui::forms {

enum class Alignment : std::uint8_t { Left, Centre, Right };

inline constexpr int kStatusPanelCount = 5;

struct StatusPanelSpec {
    int width = 0;  // the last panel reaches to the right end of the bar whatever its width
    Alignment alignment = Alignment::Left;
};

struct MenuItemSpec {
    std::string_view name = {};
    std::string_view caption = {};  // '&' marks the accelerator; empty for a separator
    bool separator = false;
    Command command = Command::None;
    bool enabled = true;  // at start
    bool checkable = false;
    bool checked = false;  // at start, once the window is made
    std::optional<run::Control> control = std::nullopt;
    std::optional<run::MenuMark> mark = std::nullopt;
    // A number the command is given: the read speed of a Read Speed item.
    int tag = 0;
    // The items of a submenu, which this item opens.
    std::span<const MenuItemSpec> submenu = {};
};

// A menu of the menu bar; one without items is a command on the bar itself.
struct MenuSpec {
    std::string_view name = {};
    std::string_view caption = {};
    std::span<const MenuItemSpec> items = {};
    Command command = Command::None;
    bool enabled = true;
    std::optional<run::Control> control = std::nullopt;
};

enum class FileDialogKind : std::uint8_t { Open, Save };

struct FileDialogSpec {
    run::FileDialog which = {};
    std::string_view name = {};
    FileDialogKind kind = FileDialogKind::Save;
    std::string_view title = {};  // set by the handler that opens it
    // Pairs of description and pattern, separated by '|'; the first pair is chosen at first.
    std::string_view filter = {};
    std::string_view defaultExtension = {};  // added to a name typed without one
};

struct TimerSpec {
    std::string_view name = {};
    int intervalMs = 0;
    bool enabled = false;  // at start
};

struct MainFormSpec {
    FormSpec form = {};
    // The program's title, which the task bar and the message boxes show.
    std::string_view applicationTitle = {};
    std::span<const StatusPanelSpec> statusPanels = {};  // kStatusPanelCount of them
    // The same, for the longer numbers of a DVD or a Blu-ray volume.
    std::span<const StatusPanelSpec> wideStatusPanels = {};
    std::span<const MenuSpec> menus = {};  // in the bar's order
    std::span<const FileDialogSpec> fileDialogs = {};
    TimerSpec timer = {};
};

const MainFormSpec& MainForm();

// The description of one of the three file dialogs.
const FileDialogSpec& FileDialogOf(run::FileDialog which);

// A file dialog's filter as pairs of description and pattern.
struct FilterPair {
    std::string_view description = {};
    std::string_view pattern = {};
};
std::vector<FilterPair> FilterPairs(std::string_view filter);

}  // namespace ui::forms
