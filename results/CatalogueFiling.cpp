#include "results/CatalogueFiling.h"

#include <chrono>
#include <cstdlib>

#include "discometer/Version.h"
#include "results/CatalogueRecord.h"
#include "results/HostName.h"
#include "results/VolumeLabel.h"
#include "run/FileErrorText.h"

namespace results {

namespace {

SideRecord SideRecordOf(const run::RunState& s, const MeasuredWith& with, const UtcTime& time) {
    SideRecord r;
    r.time = IsoTextOf(time);
    r.discId = s.DiscId;
    r.label = std::string(WithoutFill(s.VolumeLabel.str()));
    r.volumeSize = s.VolumeSize;
    r.drive = with.drive;
    r.identity = with.identity;
    r.readSpeed = s.ReadSpeed;
    r.readSpeedTaken = s.ReadSpeedTaken;
    r.sequencer = s.DataSectors;
    r.ended = with.ended;
    r.program = s.ProgramTitle;
    r.version = discometer::kVersion;
    r.host = ThisHostName();
    return r;
}

}  // namespace

std::optional<std::string> CatalogueFromEnvironment() {
    if (const char* named = std::getenv(kCatalogueVariable); named != nullptr && *named != '\0') {
        return std::string(named);
    }
    return std::nullopt;
}

std::string HowItEnded(const run::RunState& s, bool stopped) {
    switch (s.DiscGone) {
        case platform::DiscState::Removed:
            return "disc removed";
        case platform::DiscState::Changed:
            return "disc changed";
        case platform::DiscState::Present:
            break;
    }
    return stopped ? "stopped" : "complete";
}

LastRun FindLastRun(const std::string& catalogue, std::string_view discId) {
    LastRun last;
    const std::string folder = DiscFolderOf(catalogue, discId);
    DiscRuns runs = ListDiscRuns(folder);
    last.notes = std::move(runs.notes);
    if (runs.error) {
        last.notes.push_back(
            run::FileErrorText("cannot read the disc's folder", "'" + folder + "'", runs.error));
    }
    EarlierSearch earlier = LatestReadableRun(folder, runs.runs);
    last.notes.insert(last.notes.end(), earlier.notes.begin(), earlier.notes.end());
    last.found = std::move(earlier.found);
    return last;
}

FiledRun FileMeasuredRun(const std::string& catalogue, const run::RunState& state,
                         const DataList& document, const MeasuredWith& with,
                         const std::optional<EarlierRun>& earlier) {
    FiledRun filed;
    const UtcTime now = UtcTimeOf(std::chrono::system_clock::now());
    SideRecord side = SideRecordOf(state, with, now);
    if (earlier) {
        const RunReading measured = ReadRunRecord(document);
        if (!measured.run) {
            filed.notCompared = measured.problem;
        } else if (ComparisonResult compared = CompareRuns(earlier->run, *measured.run, false);
                   compared.comparison) {
            side.comparedWith = StemOf(earlier->name) + std::string(kRunExtension);
            side.verdict = compared.comparison->verdict;
            filed.comparison = std::move(compared.comparison);
        } else {
            filed.notCompared = "not two runs of one disc: " + *compared.differentDiscs;
        }
    }
    filed.filing = FileRun(catalogue, state.DiscId, now, document, SideFileText(side));
    return filed;
}

}  // namespace results
