#include "cli/TerminalWindow.h"

namespace cli {

TerminalWindow::TerminalWindow()
    : enabled_{run::Control::StartButton, run::Control::StopButton, run::Control::DriveList,
               run::Control::FilesMenu, run::Control::LoadData} {}

void TerminalWindow::SetPanelText(run::Panel panel, std::string_view text) {
    panels_.at(static_cast<std::size_t>(panel)) = std::string(text);
}

const std::string& TerminalWindow::PanelText(run::Panel panel) const {
    return panels_.at(static_cast<std::size_t>(panel));
}

void TerminalWindow::SetEnabled(run::Control control, bool enabled) {
    if (enabled) {
        enabled_.insert(control);
    } else {
        enabled_.erase(control);
    }
}

bool TerminalWindow::IsEnabled(run::Control control) const {
    return enabled_.count(control) > 0;
}

bool TerminalWindow::IsChecked(run::MenuMark item) const {
    return checked_.count(item) > 0;
}

void TerminalWindow::SetChecked(run::MenuMark item, bool checked) {
    if (checked) {
        checked_.insert(item);
    } else {
        checked_.erase(item);
    }
}

void TerminalWindow::SetDriveList(const std::vector<std::string>& items) {
    driveItems_ = items;
    driveText_ = items.empty() ? std::string() : items.front();
}

}  // namespace cli
