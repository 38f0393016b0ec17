#include "cli/TerminalWindow.h"

namespace cli {

TerminalWindow::TerminalWindow()
    : enabled_{engine::Control::StartButton, engine::Control::StopButton,
               engine::Control::DriveList, engine::Control::FilesMenu, engine::Control::LoadData} {}

void TerminalWindow::SetPanelText(engine::Panel panel, std::string_view text) {
    panels_.at(static_cast<std::size_t>(panel)) = std::string(text);
}

const std::string& TerminalWindow::PanelText(engine::Panel panel) const {
    return panels_.at(static_cast<std::size_t>(panel));
}

void TerminalWindow::SetEnabled(engine::Control control, bool enabled) {
    if (enabled) {
        enabled_.insert(control);
    } else {
        enabled_.erase(control);
    }
}

bool TerminalWindow::IsEnabled(engine::Control control) const {
    return enabled_.count(control) > 0;
}

bool TerminalWindow::IsChecked(engine::MenuMark item) const {
    return checked_.count(item) > 0;
}

void TerminalWindow::SetChecked(engine::MenuMark item, bool checked) {
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
