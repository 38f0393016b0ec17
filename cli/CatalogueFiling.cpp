#include "cli/CatalogueFiling.h"

#include <chrono>
#include <cstdlib>

#include "cli/ComparisonReport.h"
#include "cli/TerminalText.h"
#include "discometer/Version.h"
#include "platform/Files.h"
#include "results/Catalogue.h"
#include "results/CatalogueFiles.h"
#include "results/CatalogueRecord.h"
#include "results/HostName.h"
#include "results/RunComparison.h"
#include "run/FileErrorText.h"

namespace cli {

namespace {

void Line(std::FILE* out, const char* name, const std::string& value) {
    std::fprintf(out, "%-16s %s\n", name, value.c_str());
}

std::string WithoutFill(const std::string& label) {
    const std::size_t end = label.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : label.substr(0, end + 1);
}

results::SideRecord SideRecordOf(const run::RunState& s, const MeasuredWith& with,
                                 const results::UtcTime& time) {
    results::SideRecord r;
    r.time = results::IsoTextOf(time);
    r.discId = s.DiscId;
    r.label = WithoutFill(s.VolumeLabel.str());
    r.volumeSize = s.VolumeSize;
    r.drive = with.drive;
    r.identity = with.identity;
    r.readSpeed = s.ReadSpeed;
    r.readSpeedTaken = s.ReadSpeedTaken;
    r.sequencer = s.DataSectors;
    r.ended = with.ended;
    r.program = s.ProgramTitle;
    r.version = discometer::kVersion;
    r.host = results::ThisHostName();
    return r;
}

}  // namespace

std::optional<std::string> CatalogueOf(const MeasureCommand& command) {
    if (command.catalogue) {
        return command.catalogue;
    }
    if (const char* named = std::getenv(results::kCatalogueVariable);
        named != nullptr && *named != '\0') {
        return std::string(named);
    }
    return std::nullopt;
}

std::optional<std::string> CatalogueProblem(const std::string& catalogue) {
    std::error_code error = results::MakeFolders(catalogue);
    if (!error) {
        error = platform::CheckFolderWritable(catalogue);
    }
    if (error) {
        return run::FileErrorText("cannot file runs in the catalogue", Quoted(catalogue), error);
    }
    return std::nullopt;
}

CatalogueOutcome FileInCatalogue(const std::string& catalogue, const run::RunState& state,
                                 const run::DataList& document, const MeasuredWith& with,
                                 std::FILE* summary, Streams& streams) {
    CatalogueOutcome outcome;
    const std::string folder = results::DiscFolderOf(catalogue, state.DiscId);
    const results::DiscRuns earlierRuns = results::ListDiscRuns(folder);
    for (const std::string& note : earlierRuns.notes) {
        streams.Say(Printable(note));
    }
    if (earlierRuns.error) {
        streams.Say("cannot read the disc's folder " + Quoted(folder) + ": " +
                    run::ReasonText(earlierRuns.error));
    }
    const results::EarlierSearch earlier = results::LatestReadableRun(folder, earlierRuns.runs);
    for (const std::string& note : earlier.notes) {
        streams.Say(Printable(note));
    }

    const results::UtcTime now = results::UtcTimeOf(std::chrono::system_clock::now());
    results::SideRecord side = SideRecordOf(state, with, now);
    std::optional<results::ComparisonResult> compared;
    if (earlier.found) {
        const results::RunReading measured = results::ReadRunRecord(document);
        if (measured.run) {
            compared = results::CompareRuns(earlier.found->run, *measured.run, false);
            if (compared->comparison) {
                side.comparedWith =
                    results::StemOf(earlier.found->name) + std::string(results::kRunExtension);
                side.verdict = compared->comparison->verdict;
            } else {
                streams.Say(
                    "the run is not compared with the catalogue's last run of the disc: "
                    "not two runs of one disc: " +
                    *compared->differentDiscs);
            }
        } else {
            streams.Say("the run is not compared with the catalogue's last run of the disc: " +
                        measured.problem);
        }
    }

    const results::FilingResult filing =
        results::FileRun(catalogue, state.DiscId, now, document, results::SideFileText(side));
    if (!filing.problem.empty()) {
        streams.Say("the catalogue: " + Printable(filing.problem));
    }
    outcome.failed = !filing.filed || !filing.problem.empty();
    if (!filing.filed) {
        return outcome;
    }
    std::string filed = "filed as " + Quoted(filing.filed->documentPath);
    if (!earlier.found) {
        filed += ", the disc's first run there";
    } else {
        filed += ", compared with its run of " + results::IsoTextOf(earlier.found->name.time);
    }
    Line(summary, "Catalogue:", filed);
    if (compared && compared->comparison) {
        PrintComparison(summary, *compared);
        outcome.worse = compared->comparison->verdict == results::Verdict::Worse;
    }
    std::fflush(summary);
    return outcome;
}

}  // namespace cli
