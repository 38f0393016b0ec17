#include "cli/Commands.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "cli/CatalogueFiling.h"
#include "cli/ComparisonReport.h"
#include "cli/DocumentStreams.h"
#include "cli/HistoryReport.h"
#include "cli/OutputFiles.h"
#include "cli/Progress.h"
#include "cli/Session.h"
#include "cli/Summary.h"
#include "cli/TerminalText.h"
#include "engine/MeasurementLoop.h"
#include "engine/RunStart.h"
#include "engine/Sequencer.h"
#include "platform/Console.h"
#include "platform/DriveEntries.h"
#include "platform/Files.h"
#include "platform/SimRouting.h"
#include "results/CatalogueHistory.h"
#include "results/ComparisonChart.h"
#include "results/Replay.h"
#include "results/RunComparison.h"
#include "results/Saving.h"
#include "run/FileErrorText.h"
#include "run/ReadSpeed.h"
#include "startup/DriveDiscovery.h"
#include "startup/Medium.h"
#include "startup/StartFailure.h"
#include "startup/StartUp.h"

namespace cli {

namespace {

// The time of the last timed read, as the run measured it.
std::int64_t TimedMicroseconds(const run::RunState& s) {
    return s.FineTiming ? s.BlockMicros : std::int64_t{s.BlockTicks} * 1000;
}

// The window's timer runs a tick 5 ms after the previous one has ended; waiting as long
// here keeps the drive's rhythm, and so its figures, the window's.
constexpr auto kTickPause = std::chrono::milliseconds(5);

// Starts the session as the window starts; the exit status when the program would end at
// once, with the reason said.
std::optional<int> StartUpSession(Session& s, Streams& streams) {
    const auto exitStatus = startup::StartUp(s.ctx);
    if (exitStatus) {
        streams.Say("the sector library cannot be loaded");
    }
    return exitStatus;
}

// Writes the picture or the document to the name the command line gave, through the
// window's own save; true when it was written.
bool SaveAs(Session& s, void (*save)(run::RunContext&)) {
    const std::size_t errorsBefore = s.prompts.Errors().size();
    save(s.ctx);
    return s.prompts.Errors().size() == errorsBefore;
}

// The files the run's end has written under the volume label. It tries both, each whether
// the other could be written or not, and names one it cannot write with its folder.
std::vector<std::string> AutoSavedFiles(const Session& s) {
    const std::string base = results::AutoSaveBaseName(s.state.VolumeLabel);
    std::vector<std::string> written;
    bool tried = !s.prompts.Messages().empty();  // the note that both were written
    for (const std::string& name : {base + ".bmp", base + ".dat"}) {
        const auto& failed = s.prompts.CreateFailures();
        if (std::find(failed.begin(), failed.end(), results::InCurrentFolder(name)) !=
            failed.end()) {
            tried = true;
        } else {
            written.push_back(name);
        }
    }
    return tried ? written : std::vector<std::string>{};
}

// The named drive is the whole drive list, so it is judged as the window judges the drives
// it lists. The list reads a bare name as a drive (sr0, D:); a relative path of an image
// ("./disc.iso") is made absolute for it.
std::string DriveEntryOf(const std::string& named) {
    return platform::DriveEntryForArgument(named);
}

// What stands in the way of a run before it starts, said; the exit status then.
std::optional<int> RefuseBeforeRun(Session& s, const MeasureCommand& command,
                                   const std::string& drive, Streams& streams) {
    const bool simulated = platform::IsSimulatedEntry(drive);
    const std::string device = s.system.DevicePath(drive);

    std::vector<NamedFile> files;
    if (!simulated) {
        files.push_back({"the drive", device});
    }
    if (command.datFile) {
        files.push_back({"--dat", *command.datFile});
    }
    if (command.bmpFile) {
        files.push_back({"--bmp", *command.bmpFile});
    }
    if (const auto clash = SameFileClash(files)) {
        return UsageFailure(streams, *clash);
    }

    std::optional<std::string> problem;
    for (const auto& file : {command.bmpFile, command.datFile}) {
        if (file && !problem) {
            problem = OutputProblem(*file);
        }
    }
    if (command.autoSave && !problem) {
        problem = AutoSaveProblem();
    }
    if (const auto catalogue = CatalogueOf(command); catalogue && !problem) {
        problem = CatalogueProblem(*catalogue);
    }
    if (!simulated && !s.state.NoDrive && !problem) {
        problem = startup::MediumProblem(device, engine::DataSectorsFromMarks(s.window));
    }
    if (problem) {
        streams.Say(*problem);
        return kExitError;
    }
    return std::nullopt;
}

// A data file named on the command line, in a message.
std::string DataFileName(const std::string& name) {
    return name == kStandardStream ? std::string("standard input") : Quoted(name);
}

// The run in a data file named on the command line (`-`: standard input), its document in
// `document`; nothing, once the reason is said, when the file cannot be read or holds no run
// that can be compared.
std::optional<results::RunRecord> ReadRunFile(const std::string& name, results::DataList& document,
                                              Streams& streams) {
    const std::error_code error = name == kStandardStream ? ReadDocumentFrom(stdin, document)
                                                          : results::LoadDocument(name, document);
    if (error) {
        streams.Say("cannot read " + DataFileName(name) + ": " + run::ReasonText(error));
        return std::nullopt;
    }
    results::RunReading reading = results::ReadRunRecord(document);
    if (!reading.run) {
        streams.Say(DataFileName(name) + ": " + reading.problem);
        return std::nullopt;
    }
    return std::move(*reading.run);
}

}  // namespace

int UsageFailure(Streams& streams, const std::string& message) {
    streams.Say(message);
    streams.ErrText("\n" + UsageText());
    return kExitUsage;
}

int RunDrives(Streams& streams) {
    const std::optional<std::string> list = platform::DriveEntriesFromEnvironment();
    std::optional<std::vector<std::string>> entries;
    if (list) {
        entries = platform::SplitDriveEntries(*list);
    }
    Session s(entries, streams);
    if (const auto status = StartUpSession(s, streams)) {
        return *status;
    }
    if (entries) {
        const std::vector<std::string>& listed = s.window.DriveItems();
        for (const std::string& entry : *entries) {
            if (std::find(listed.begin(), listed.end(), entry) == listed.end()) {
                streams.Say(std::string(platform::kDrivesVariable) + " entry left out: " +
                            startup::DescribeUnlistedDrive(entry, s.system.DevicePath(entry)));
            }
        }
    }
    if (s.state.NoDrive) {
        // The window lists NA; a script gets nothing to measure.
        streams.Say(entries ? "no drive to list"
                            : "no optical drive found; name drives or disc images in " +
                                  std::string(platform::kDrivesVariable));
        return kExitError;
    }
    // A person sees what the system knows of each drive beside its entry; for a script
    // (`for d in $(discometer-cli drives)`) the entries stand alone.
    const std::vector<std::string>& items = s.window.DriveItems();
    std::size_t widest = 0;
    for (const std::string& item : items) {
        widest = std::max(widest, item.size());
    }
    for (const std::string& item : items) {
        const std::string identity = streams.OutIsTerminal()
                                         ? startup::DriveIdentityText(s.system.IdentityOf(item))
                                         : std::string();
        streams.OutLine(
            identity.empty() ? item : item + std::string(widest - item.size() + 2, ' ') + identity);
    }
    return kExitOk;
}

namespace {

// The measure command, with the document also written to `documentOut` when it is given.
int Measure(const MeasureCommand& command, Streams& streams, std::FILE* documentOut) {
    const std::string drive = DriveEntryOf(command.drive);
    // Commas part the entries of a drive list; one drive is measured at a time, though a file
    // of that name is measured whatever its name holds.
    if (drive.find(',') != std::string::npos &&
        platform::InspectPath(drive).kind == platform::PathKind::Missing) {
        return UsageFailure(streams, "measure takes one drive, not a list");
    }
    // The one drive named, whatever its name holds (a file name may hold a comma).
    Session s(std::vector<std::string>{drive}, streams);
    if (const auto status = StartUpSession(s, streams)) {
        return *status;
    }
    engine::SelectSequencer(s.window, command.sequencer);
    s.window.SetReadSpeedChoice(command.readSpeed);
    if (const auto status = RefuseBeforeRun(s, command, drive, streams)) {
        return *status;
    }
    // The earlier run is read before the run rather than found wanting after it.
    std::optional<results::RunRecord> earlier;
    if (command.compareFile) {
        results::DataList earlierDocument;
        earlier = ReadRunFile(*command.compareFile, earlierDocument, streams);
        if (!earlier) {
            return kExitError;
        }
    }
    s.window.SetChecked(run::MenuMark::AutoSave, command.autoSave);
    s.prompts.SetFileName(run::FileDialog::SaveGraphic, command.bmpFile);
    s.prompts.SetFileName(run::FileDialog::SaveData, command.datFile);

    // Asked before the run, while the disc it names is the one measured.
    const platform::DriveIdentity driveIdentity = s.system.IdentityOf(drive);
    const std::string identity = startup::DriveIdentityText(driveIdentity);
    platform::InstallStopRequests();
    const auto wallStart = std::chrono::steady_clock::now();
    if (!engine::StartRun(s.ctx)) {
        streams.Say(startup::DescribeStartFailure(s.state, s.system, drive));
        return kExitError;
    }
    if (earlier) {
        // The earlier run behind the chart as it is drawn, as in the window; its marks over
        // the run's curve again at the end, before the chart is saved.
        if (!results::DifferentDiscs(*earlier, results::DiscOf(s.dataList))) {
            results::DrawEarlierRun(s.state, s.chart.canvas, earlier->blocks);
            s.window.SetRunEnded([&s, &earlier] {
                results::DrawEarlierErrorMarks(s.state, s.chart.canvas, earlier->blocks);
            });
        }
    }
    if (s.state.ReadSpeed != command.readSpeed) {
        // 52x on a DVD, 16x on a Blu-ray disc: no step of that medium.
        streams.Say(run::ReadSpeedCaption(command.readSpeed) + " is no read speed of this " +
                    "disc's medium; it is read as fast as the drive goes");
    }
    if (!s.state.ReadSpeedTaken) {
        streams.Say("the drive did not take the read speed " +
                    run::ReadSpeedCaption(s.state.ReadSpeed) + "; it reads at its own speed");
    }

    TimedTotals timed{s.state.SectorCount, TimedMicroseconds(s.state)};
    ProgressReport progress(streams);
    progress.Begin(s.state, s.dataList);
    while (s.window.TimerEnabled()) {
        std::this_thread::sleep_for(kTickPause);
        // A reader of the block lines that has gone asks to stop, as Ctrl-C does.
        if (platform::StopRequested() || streams.OutClosed()) {
            s.state.StopRequest = true;
        }
        const std::size_t linesBefore = s.dataList.size();
        platform::SetWaitingForDrive(true);
        engine::MeasureTick(s.ctx);
        platform::SetWaitingForDrive(false);
        if (s.dataList.size() > linesBefore && s.state.ReadStatus >= 0) {
            timed.sectors += s.state.SectorCount;
            timed.microseconds += TimedMicroseconds(s.state);
        }
        progress.Update(s.state, s.dataList);
    }
    progress.Finish(s.state, s.dataList);
    const bool discGone = s.state.DiscGone != platform::DiscState::Present;
    if (discGone) {
        streams.Say(std::string("the disc was ") +
                    (s.state.DiscGone == platform::DiscState::Removed ? "removed" : "changed") +
                    " at block " + std::to_string(s.state.BlockIndex) +
                    "; the run ends there, its blocks before it kept");
    }
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::vector<std::string> written;
    if (command.autoSave) {
        written = AutoSavedFiles(s);
    }
    if (command.bmpFile && SaveAs(s, results::SaveGraphic)) {
        written.push_back(*command.bmpFile);
    }
    if (command.datFile && SaveAs(s, results::SaveData)) {
        written.push_back(*command.datFile);
    }
    bool documentLost = false;
    if (documentOut != nullptr) {
        if (const std::error_code error = WriteDocumentTo(documentOut, s.dataList)) {
            streams.Say("cannot write the data file to standard output: " + run::ReasonText(error));
            documentLost = true;
        }
    }
    std::FILE* summary = streams.SummaryStream();
    PrintRunSummary(summary, s.state, s.window, s.dataList, written);
    PrintDrive(summary, identity);
    PrintReadSpeed(summary, s.state);
    PrintTimes(summary, timed, wallSeconds, platform::IsSimulatedEntry(drive));

    bool notCompared = false;
    bool worse = false;
    if (earlier) {
        const results::RunReading measured = results::ReadRunRecord(s.dataList);
        const results::ComparisonResult result =
            measured.run ? results::CompareRuns(*earlier, *measured.run, false)
                         : results::ComparisonResult{};
        if (result.comparison) {
            PrintComparison(summary, result);
            worse = result.comparison->verdict == results::Verdict::Worse;
        } else {
            streams.Say("the run is not compared with " + DataFileName(*command.compareFile) +
                        ": " +
                        (measured.run ? "not two runs of one disc: " + *result.differentDiscs
                                      : measured.problem));
            notCompared = true;
        }
    }

    // A signal that came with the last block found the run complete already.
    const bool stopped = s.window.PanelText(run::Panel::State) == "System Stopped";
    bool notFiled = false;
    if (const auto catalogue = CatalogueOf(command)) {
        const results::MeasuredWith with{drive, driveIdentity,
                                         results::HowItEnded(s.state, stopped)};
        const CatalogueOutcome filed =
            FileInCatalogue(*catalogue, s.state, s.dataList, with, summary, streams);
        notFiled = filed.failed;
        worse = worse || filed.worse;
    }

    if (!s.prompts.Errors().empty() || documentLost || notCompared || discGone || notFiled) {
        return kExitError;
    }
    if (stopped) {
        return kExitStopped;
    }
    if (worse) {
        return kExitWorse;
    }
    return s.state.ErrorCount > 0 ? kExitUnreadBlocks : kExitOk;
}

}  // namespace

int RunMeasure(const MeasureCommand& command, Streams& streams) {
    if (command.datFile != kStandardStream) {
        return Measure(command, streams, nullptr);
    }
    // The document takes standard output; the block lines, notes and summary make way.
    MeasureCommand toOutput = command;
    toOutput.datFile.reset();
    Streams diverted = streams.AllOnError();
    return Measure(toOutput, diverted, streams.OutStream());
}

int RunReplay(const ReplayCommand& command, Streams& streams) {
    const bool fromInput = command.datFile == kStandardStream;
    if (command.bmpFile && !fromInput) {
        if (const auto clash =
                SameFileClash({{"the data file", command.datFile}, {"--bmp", *command.bmpFile}})) {
            return UsageFailure(streams, *clash);
        }
    }
    if (command.bmpFile) {
        if (const auto problem = OutputProblem(*command.bmpFile)) {
            streams.Say(*problem);
            return kExitError;
        }
    }
    // A replay touches no drive: the list stays empty rather than probing the system.
    Session s(std::vector<std::string>(), streams);
    if (const auto status = StartUpSession(s, streams)) {
        return *status;
    }
    s.prompts.SetFileName(run::FileDialog::LoadData, command.datFile);
    s.prompts.SetFileName(run::FileDialog::SaveGraphic, command.bmpFile);

    if (fromInput) {
        if (const std::error_code error = ReadDocumentFrom(stdin, s.dataList)) {
            streams.Say("cannot read the data file from standard input: " + run::ReasonText(error));
            return kExitError;
        }
        results::DrawData(s.ctx);
    } else {
        results::LoadData(s.ctx);
    }
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
    PrintReplayHeader(streams.OutStream(), s.state);
    PrintRunSummary(streams.OutStream(), s.state, s.window, s.dataList, written);
    return kExitOk;
}

namespace {

// The later run's chart, as a replay draws it, with the earlier run's curve behind it,
// written to `bmpFile`; false once the reason is said.
bool WriteComparisonChart(const results::DataList& later,
                          const std::vector<results::BlockResult>& earlier,
                          const std::string& bmpFile, Streams& streams) {
    Session s(std::vector<std::string>(), streams);
    if (StartUpSession(s, streams)) {
        return false;
    }
    s.dataList = later;
    results::DrawData(s.ctx);
    results::DrawEarlierCurveBehind(s.state, s.chart.canvas, earlier);
    s.prompts.SetFileName(run::FileDialog::SaveGraphic, bmpFile);
    return SaveAs(s, results::SaveGraphic);
}

}  // namespace

int RunCompare(const CompareCommand& command, Streams& streams) {
    if (command.bmpFile) {
        for (const auto& [role, name] : {std::pair{"the earlier data file", &command.earlierFile},
                                         std::pair{"the later data file", &command.laterFile}}) {
            if (*name == kStandardStream) {
                continue;
            }
            if (const auto clash = SameFileClash({{role, *name}, {"--bmp", *command.bmpFile}})) {
                return UsageFailure(streams, *clash);
            }
        }
        if (const auto problem = OutputProblem(*command.bmpFile)) {
            streams.Say(*problem);
            return kExitError;
        }
    }
    results::DataList earlierDocument;
    const auto earlier = ReadRunFile(command.earlierFile, earlierDocument, streams);
    if (!earlier) {
        return kExitError;
    }
    results::DataList laterDocument;
    const auto later = ReadRunFile(command.laterFile, laterDocument, streams);
    if (!later) {
        return kExitError;
    }
    const results::ComparisonResult result = results::CompareRuns(*earlier, *later, command.force);
    if (!result.comparison) {
        streams.Say("not two runs of one disc: " + *result.differentDiscs +
                    "; --force compares them anyway");
        return kExitError;
    }
    if (command.bmpFile &&
        !WriteComparisonChart(laterDocument, earlier->blocks, *command.bmpFile, streams)) {
        return kExitError;
    }
    if (command.json) {
        streams.OutLine(ComparisonJson(*result.comparison));
    } else {
        PrintComparison(streams.OutStream(), result);
    }
    return result.comparison->verdict == results::Verdict::Worse ? kExitWorse : kExitOk;
}

int RunHistory(const HistoryCommand& command, Streams& streams) {
    const results::CatalogueHistory history = results::ReadCatalogueHistory(command.catalogue);
    for (const std::string& note : history.notes) {
        streams.Say(Printable(note));
    }
    if (history.error) {
        streams.Say("cannot read the catalogue " + Quoted(command.catalogue) + ": " +
                    run::ReasonText(history.error));
        return kExitError;
    }
    if (command.json) {
        streams.OutLine(HistoryJson(history.discs));
    } else {
        PrintHistory(streams.OutStream(), history.discs);
    }
    return kExitOk;
}

}  // namespace cli
