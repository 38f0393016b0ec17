#include "ui/forms/WindowStates.h"

namespace ui::forms {

namespace {

using run::Control;
using enum Usable;

// In the order of RunMoment. Columns: Start, Stop, drive list, Files menu, Save Graphic, Save Data.
// clang-format off
constexpr std::array<WindowState, 4> kStates{{
    {RunMoment::AfterStartUp,     "after start-up",          {Yes, Yes, Yes, Yes, No,        No},
     false, Control::StartButton},
    {RunMoment::Running,          "run in progress",         {No,  Yes, No,  No,  Unchanged, Unchanged},
     true,  Control::StopButton},
    {RunMoment::EndedAutoSaveOff, "run ended, AutoSave off", {Yes, Yes, Yes, Yes, Yes,       Yes},
     false, Control::StartButton},
    {RunMoment::EndedAutoSaveOn,  "run ended, AutoSave on",  {Yes, Yes, Yes, Yes, Unchanged, Unchanged},
     false, Control::StartButton},
}};
// clang-format on

}  // namespace

std::span<const WindowState> MainWindowStates() {
    return kStates;
}

const WindowState& MainWindowState(RunMoment moment) {
    return kStates.at(static_cast<std::size_t>(moment));
}

}  // namespace ui::forms
