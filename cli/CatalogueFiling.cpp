#include "cli/CatalogueFiling.h"

#include "cli/ComparisonReport.h"
#include "cli/TerminalText.h"
#include "platform/Files.h"
#include "results/CatalogueFiles.h"
#include "results/CatalogueFiling.h"
#include "run/FileErrorText.h"

namespace cli {

namespace {

void Line(std::FILE* out, const char* name, const std::string& value) {
    std::fprintf(out, "%-16s %s\n", name, value.c_str());
}

}  // namespace

std::optional<std::string> CatalogueOf(const MeasureCommand& command) {
    if (command.catalogue) {
        return command.catalogue;
    }
    return results::CatalogueFromEnvironment();
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
                                 const run::DataList& document, const results::MeasuredWith& with,
                                 std::FILE* summary, Streams& streams) {
    CatalogueOutcome outcome;
    const results::LastRun earlier = results::FindLastRun(catalogue, state.DiscId);
    for (const std::string& note : earlier.notes) {
        streams.Say(Printable(note));
    }
    const results::FiledRun filed =
        results::FileMeasuredRun(catalogue, state, document, with, earlier.found);
    if (!filed.notCompared.empty()) {
        streams.Say("the run is not compared with the catalogue's last run of the disc: " +
                    filed.notCompared);
    }
    const results::FilingResult& filing = filed.filing;
    if (!filing.problem.empty()) {
        streams.Say("the catalogue: " + Printable(filing.problem));
    }
    outcome.failed = !filing.filed || !filing.problem.empty();
    if (!filing.filed) {
        return outcome;
    }
    std::string where = "filed as " + Quoted(filing.filed->documentPath);
    if (!earlier.found) {
        where += ", the disc's first run there";
    } else {
        where += ", compared with its run of " + results::IsoTextOf(earlier.found->name.time);
    }
    Line(summary, "Catalogue:", where);
    if (filed.comparison) {
        PrintComparison(summary, results::ComparisonResult{filed.comparison, std::nullopt});
        outcome.worse = filed.comparison->verdict == results::Verdict::Worse;
    }
    std::fflush(summary);
    return outcome;
}

}  // namespace cli
