#include "results/Catalogue.h"

#include <algorithm>
#include <filesystem>

#include "results/CatalogueFiles.h"
#include "run/FileErrorText.h"

namespace results {

namespace fs = std::filesystem;

namespace {

// How many names of one second are tried before filing gives up: far more runs of one disc
// than drives can finish in a second.
constexpr std::int32_t kNamesTried = 1000;

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A side file's name: a run's stem with the side file's extension.
bool IsSideFileName(std::string_view name) {
    if (!EndsWith(name, kSideExtension)) {
        return false;
    }
    const std::string asRun = std::string(name.substr(0, name.size() - kSideExtension.size())) +
                              std::string(kRunExtension);
    return ParseRunFileName(asRun).has_value();
}

}  // namespace

std::string DiscFolderOf(const std::string& catalogue, std::string_view discId) {
    return (fs::path(catalogue) / std::string(discId)).string();
}

std::string RunFilePath(const std::string& discFolder, const RunName& name,
                        std::string_view extension) {
    return (fs::path(discFolder) / (StemOf(name) + std::string(extension))).string();
}

DiscRuns ListDiscRuns(const std::string& discFolder) {
    DiscRuns result;
    FolderListing listing = ListFolder(discFolder);
    if (listing.error) {
        if (listing.error != std::errc::no_such_file_or_directory) {
            result.error = listing.error;
        }
        return result;
    }
    for (const FolderEntry& entry : listing.entries) {
        if (entry.name.empty() || entry.name.front() == '.') {
            continue;
        }
        if (const auto name = ParseRunFileName(entry.name); name && !entry.folder) {
            result.runs.push_back(*name);
        } else if (entry.folder || !IsSideFileName(entry.name)) {
            result.notes.push_back((fs::path(discFolder) / entry.name).string() +
                                   ": no run of this catalogue, passed over");
        }
    }
    std::sort(result.runs.begin(), result.runs.end(), FiledBefore);
    return result;
}

FiledRunReading ReadFiledRun(const std::string& path) {
    DataList document;
    if (const std::error_code error = LoadDocument(path, document)) {
        return {std::nullopt, path + ": cannot be read: " + run::ReasonText(error)};
    }
    RunReading reading = ReadRunRecord(document);
    if (!reading.run) {
        return {std::nullopt, path + ": " + reading.problem};
    }
    return {std::move(reading.run), {}};
}

EarlierSearch LatestReadableRun(const std::string& discFolder, const std::vector<RunName>& runs,
                                std::size_t before) {
    EarlierSearch search;
    for (std::size_t i = runs.size() > before ? runs.size() - before : 0; i-- > 0;) {
        FiledRunReading reading = ReadFiledRun(RunFilePath(discFolder, runs[i], kRunExtension));
        if (reading.run) {
            search.found = EarlierRun{runs[i], std::move(*reading.run)};
            search.index = i;
            return search;
        }
        search.notes.push_back(reading.problem + "; passed over");
    }
    return search;
}

FilingResult FileRun(const std::string& catalogue, std::string_view discId, const UtcTime& time,
                     const DataList& document, const std::string& sideText) {
    const std::string folder = DiscFolderOf(catalogue, discId);
    if (const std::error_code error = MakeFolders(folder)) {
        return {std::nullopt, run::FileErrorText("cannot make the folder", folder, error)};
    }
    const std::string bytes = DocumentBytes(document);
    for (std::int32_t suffix = 1; suffix <= kNamesTried; ++suffix) {
        const RunName name{time, suffix};
        const std::string documentPath = RunFilePath(folder, name, kRunExtension);
        const std::string sidePath = RunFilePath(folder, name, kSideExtension);
        std::error_code ignored;
        if (fs::exists(fs::symlink_status(sidePath, ignored))) {
            continue;  // a side file without its run: the name is not free either
        }
        const std::error_code error = WriteNewFile(documentPath, BytesOf(bytes));
        if (error == std::errc::file_exists) {
            continue;
        }
        if (error) {
            return {std::nullopt, run::FileErrorText("cannot write", documentPath, error)};
        }
        FilingResult result{Filed{name, documentPath, sidePath}, {}};
        if (const std::error_code sideError = WriteNewFile(sidePath, BytesOf(sideText))) {
            result.problem = run::FileErrorText("cannot write", sidePath, sideError);
        }
        return result;
    }
    return {std::nullopt, "no free name for the run in " + folder + " after " +
                              std::to_string(kNamesTried) + " runs filed in one second"};
}

}  // namespace results
