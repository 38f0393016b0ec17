#include "cli/Commands.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "cli/OutputFiles.h"
#include "cli/Progress.h"
#include "cli/Session.h"
#include "cli/StartFailure.h"
#include "cli/Summary.h"
#include "engine/MeasurementLoop.h"
#include "engine/RunStart.h"
#include "engine/Sequencer.h"
#include "platform/DriveEntries.h"
#include "platform/Files.h"
#include "platform/StopSignal.h"
#include "results/Replay.h"
#include "results/Saving.h"
#include "system/startup/StartUp.h"

namespace cli {

namespace {

// The window's timer runs a tick 5 ms after the previous one has ended; waiting as long
// here keeps the drive's rhythm, and so its figures, the window's.
constexpr auto kTickPause = std::chrono::milliseconds(5);

void SayError(const std::string& text) {
    std::fprintf(stderr, "discometer-cli: %s\n", text.c_str());
}

// Starts the session as the window starts; the exit status when the program would end at
// once, with the reason said.
std::optional<int> StartUpSession(Session& s) {
    const auto exitStatus = system_env::StartUp(s.ctx);
    if (exitStatus) {
        SayError("the sector library cannot be loaded");
    }
    return exitStatus;
}

// Writes the picture or the document to the name the command line gave, through the
// window's own save; true when it was written.
bool SaveAs(Session& s, void (*save)(engine::RunContext&)) {
    const std::size_t errorsBefore = s.prompts.Errors().size();
    save(s.ctx);
    return s.prompts.Errors().size() == errorsBefore;
}

std::vector<std::string> AutoSaveNames(const engine::RunState& state) {
    const std::string base = results::AutoSaveBaseName(state.VolumeLabel);
    return {base + ".bmp", base + ".dat"};
}

}  // namespace

int RunDrives() {
    Session s(platform::DriveEntriesFromEnvironment());
    if (const auto status = StartUpSession(s)) {
        return *status;
    }
    for (const std::string& item : s.window.DriveItems()) {
        std::printf("%s\n", item.c_str());
    }
    return kExitOk;
}

int RunMeasure(const MeasureCommand& command) {
    for (const auto& file : {command.bmpFile, command.datFile}) {
        if (file) {
            if (const auto problem = OutputProblem(*file)) {
                SayError(*problem);
                return kExitError;
            }
        }
    }

    // The named drive is the whole drive list, so it is judged as the window judges the
    // drives it lists. The list reads a bare name as a drive (sr0, D:); a relative path of
    // an image ("./disc.iso") is made absolute for it.
    const std::string drive = platform::DriveEntryForArgument(command.drive);
    Session s(drive);
    if (const auto status = StartUpSession(s)) {
        return *status;
    }
    engine::SelectSequencer(s.window, command.sequencer);
    s.window.SetChecked(engine::MenuMark::AutoSave, command.autoSave);
    s.prompts.SetFileName(engine::FileDialog::SaveGraphic, command.bmpFile);
    s.prompts.SetFileName(engine::FileDialog::SaveData, command.datFile);

    platform::InstallStopHandlers();
    const auto wallStart = std::chrono::steady_clock::now();
    if (!engine::StartRun(s.ctx)) {
        SayError(DescribeStartFailure(s.state, s.system, drive));
        return kExitError;
    }

    TimedTotals timed{s.state.SectorCount, s.state.BlockTicks};
    ProgressReport progress(stdout, platform::IsTerminal(stdout));
    progress.Begin(s.state, s.dataList);
    while (s.window.TimerEnabled()) {
        std::this_thread::sleep_for(kTickPause);
        if (platform::StopSignal() != 0) {
            s.state.StopRequest = true;
        }
        const std::size_t linesBefore = s.dataList.size();
        engine::MeasureTick(s.ctx);
        if (s.dataList.size() > linesBefore && s.state.ReadStatus >= 0) {
            timed.sectors += s.state.SectorCount;
            timed.milliseconds += s.state.BlockTicks;
        }
        progress.Update(s.state, s.dataList);
    }
    progress.Finish(s.state, s.dataList);
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::vector<std::string> written;
    if (command.autoSave && !s.prompts.Messages().empty()) {
        written = AutoSaveNames(s.state);  // the run's end has written them
    }
    if (command.bmpFile && SaveAs(s, results::SaveGraphic)) {
        written.push_back(*command.bmpFile);
    }
    if (command.datFile && SaveAs(s, results::SaveData)) {
        written.push_back(*command.datFile);
    }
    PrintRunSummary(stdout, s.state, s.window, written);
    PrintTimes(stdout, timed, wallSeconds);

    if (!s.prompts.Errors().empty()) {
        return kExitError;
    }
    // A signal that came with the last block found the run complete already.
    const bool stopped = s.window.PanelText(engine::Panel::State) == "System Stopped";
    return stopped ? kExitStopped : kExitOk;
}

int RunReplay(const ReplayCommand& command) {
    if (command.bmpFile) {
        if (const auto problem = OutputProblem(*command.bmpFile)) {
            SayError(*problem);
            return kExitError;
        }
    }
    // A replay touches no drive: the list stays empty rather than probing the system.
    Session s{std::string()};
    if (const auto status = StartUpSession(s)) {
        return *status;
    }
    s.prompts.SetFileName(engine::FileDialog::LoadData, command.datFile);
    s.prompts.SetFileName(engine::FileDialog::SaveGraphic, command.bmpFile);

    results::LoadData(s.ctx);
    // The load says what went wrong: a file it cannot open, or one without results.
    if (!s.prompts.Errors().empty() || s.prompts.ErrorSounds() > 0) {
        return kExitError;
    }
    std::vector<std::string> written;
    if (command.bmpFile) {
        if (!SaveAs(s, results::SaveGraphic)) {
            return kExitError;
        }
        written.push_back(*command.bmpFile);
    }
    PrintReplayHeader(stdout, s.state);
    PrintRunSummary(stdout, s.state, s.window, written);
    return kExitOk;
}

}  // namespace cli
