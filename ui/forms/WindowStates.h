// Which controls of the main window are usable at each point of a run, for every front end
// and its tests to check against.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "run/RunWindow.h"

namespace ui::forms {

enum class Usable : std::uint8_t { No, Yes, Unchanged };

enum class RunMoment : std::uint8_t { AfterStartUp, Running, EndedAutoSaveOff, EndedAutoSaveOn };

// The controls a state names, in the order of WindowState::usable.
inline constexpr std::array<run::Control, 6> kStateColumns{
    run::Control::StartButton, run::Control::StopButton,  run::Control::DriveList,
    run::Control::FilesMenu,   run::Control::SaveGraphic, run::Control::SaveData};

struct WindowState {
    RunMoment moment;
    std::string_view when;
    std::array<Usable, kStateColumns.size()> usable;
    bool timerEnabled;  // between the ticks, during a run
    run::Control focus;
};

// After start-up; during a run; after a run (finished or stopped) with AutoSave off; with it on.
// Options and About stay usable in every state.
std::span<const WindowState> MainWindowStates();
const WindowState& MainWindowState(RunMoment moment);

}  // namespace ui::forms
