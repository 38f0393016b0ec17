// A catalogue of runs: a folder that holds one folder per disc, named by its disc id, and in
// it one document per run, named by the UTC date and time it was filed, with a side file
// beside each. Plain files only, each written whole and never written over or removed, so
// that several programs, on one machine or on several sharing the folder, file into it at
// once and a person can copy, back up or look into it with any tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "results/CatalogueNames.h"
#include "results/ResultsDocument.h"
#include "results/RunComparison.h"

namespace results {

// The environment variable that names a catalogue for every measured run.
inline constexpr const char* kCatalogueVariable = "DISCOMETER_CATALOGUE";

std::string DiscFolderOf(const std::string& catalogue, std::string_view discId);
std::string RunFilePath(const std::string& discFolder, const RunName& name,
                        std::string_view extension);

// The runs filed in a disc's folder, earliest first. Names that are neither runs nor their
// side files are told in `notes` (hidden names, a program's files in the making among them,
// are passed over without a word).
struct DiscRuns {
    std::vector<RunName> runs;
    std::vector<std::string> notes;
    std::error_code error;  // the folder could not be read; none for a folder not made yet
};
DiscRuns ListDiscRuns(const std::string& discFolder);

// A run of the folder read back for comparing; nothing, with the reason, for a file that
// cannot be read or holds no run.
struct FiledRunReading {
    std::optional<RunRecord> run;
    std::string problem;
};
FiledRunReading ReadFiledRun(const std::string& path);

// The latest of `runs` (earliest first) that can be read, skipping those that cannot with a
// note each; `before` counts from the end: 0 from the latest, 1 from the one before it.
struct EarlierRun {
    RunName name;
    RunRecord run;
};
struct EarlierSearch {
    std::optional<EarlierRun> found;
    std::size_t index = 0;  // of the run found in `runs`
    std::vector<std::string> notes;
};
EarlierSearch LatestReadableRun(const std::string& discFolder, const std::vector<RunName>& runs,
                                std::size_t before = 0);

// Files the run's document and its side file under the first name of `time` that nobody has
// taken in the disc's folder, making the catalogue's folders when they are missing.
struct Filed {
    RunName name;
    std::string documentPath;
    std::string sidePath;
};
struct FilingResult {
    std::optional<Filed> filed;  // the document was filed
    std::string problem;         // why the document, or its side file, was not
};
FilingResult FileRun(const std::string& catalogue, std::string_view discId, const UtcTime& time,
                     const DataList& document, const std::string& sideText);

}  // namespace results
