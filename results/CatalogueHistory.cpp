#include "results/CatalogueHistory.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "platform/Files.h"
#include "results/Catalogue.h"
#include "results/CatalogueFiles.h"
#include "results/CatalogueRecord.h"
#include "results/DiscId.h"
#include "results/VolumeLabel.h"
#include "run/FileErrorText.h"

namespace results {

namespace fs = std::filesystem;

namespace {

// A side file is a few hundred bytes; anything far larger is none of ours.
constexpr std::uint64_t kMaxSideFileBytes = 64 * 1024;

int Rank(const std::optional<Verdict>& verdict) {
    if (!verdict) {
        return 3;
    }
    switch (*verdict) {
        case Verdict::Worse:
            return 0;
        case Verdict::Same:
            return 1;
        case Verdict::Better:
            return 2;
    }
    return 3;
}

// One disc's line; nothing when its folder holds no run that can be read.
std::optional<DiscHistory> ReadDisc(const std::string& folder, const std::string& id,
                                    std::vector<std::string>& notes) {
    DiscRuns listing = ListDiscRuns(folder);
    notes.insert(notes.end(), listing.notes.begin(), listing.notes.end());
    if (listing.error) {
        notes.push_back(folder + ": cannot be read: " + run::ReasonText(listing.error));
        return std::nullopt;
    }
    std::vector<RunName>& runs = listing.runs;
    if (runs.empty()) {
        notes.push_back(folder + ": no run in it, passed over");
        return std::nullopt;
    }
    DiscHistory disc;
    disc.id = id;

    // The last run's side file says it all, when it is whole and its run was compared.
    const std::string sidePath = RunFilePath(folder, runs.back(), kSideExtension);
    const platform::FileBytes bytes = platform::ReadRegularFile(sidePath, kMaxSideFileBytes);
    std::optional<SideFacts> side;
    if (!bytes.error) {
        side = ReadSideFacts(bytes.bytes, id);
        if (!side) {
            notes.push_back(sidePath + ": no side file of this catalogue, passed over");
        }
    }
    if (side && (side->verdict || runs.size() == 1)) {
        disc.label = side->label;
        disc.volumeSize = side->volumeSize;
        disc.verdict = side->verdict;
    } else {
        // Else the documents tell: the last that can be read, and the one before it.
        EarlierSearch last = LatestReadableRun(folder, runs);
        notes.insert(notes.end(), last.notes.begin(), last.notes.end());
        if (!last.found) {
            notes.push_back(folder + ": no run in it can be read, passed over");
            return std::nullopt;
        }
        runs.resize(last.index + 1);  // those after it are damaged
        disc.label = std::string(WithoutFill(last.found->run.label));
        disc.volumeSize = last.found->run.volumeSize;
        EarlierSearch earlier = LatestReadableRun(folder, runs, 1);
        notes.insert(notes.end(), earlier.notes.begin(), earlier.notes.end());
        if (earlier.found) {
            runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(earlier.index) + 1,
                       runs.end() - 1);
            const ComparisonResult result = CompareRuns(earlier.found->run, last.found->run, false);
            if (result.comparison) {
                disc.verdict = result.comparison->verdict;
            } else {
                notes.push_back(
                    folder + ": its last two runs are not of one disc: " + *result.differentDiscs);
            }
        } else {
            runs.erase(runs.begin(), runs.end() - 1);
        }
    }
    disc.runs = static_cast<std::int32_t>(runs.size());
    disc.first = runs.front().time;
    disc.last = runs.back().time;
    return disc;
}

}  // namespace

bool ListedBefore(const DiscHistory& a, const DiscHistory& b) {
    return std::forward_as_tuple(Rank(a.verdict), a.label, a.id) <
           std::forward_as_tuple(Rank(b.verdict), b.label, b.id);
}

CatalogueHistory ReadCatalogueHistory(const std::string& catalogue) {
    CatalogueHistory history;
    const FolderListing listing = ListFolder(catalogue);
    if (listing.error) {
        history.error = listing.error;
        return history;
    }
    for (const FolderEntry& entry : listing.entries) {
        if (entry.name.empty() || entry.name.front() == '.') {
            continue;
        }
        const std::string path = (fs::path(catalogue) / entry.name).string();
        if (!entry.folder || !IsDiscId(entry.name)) {
            history.notes.push_back(path + ": no disc folder of this catalogue, passed over");
            continue;
        }
        if (auto disc = ReadDisc(path, entry.name, history.notes)) {
            history.discs.push_back(std::move(*disc));
        }
    }
    std::sort(history.discs.begin(), history.discs.end(), ListedBefore);
    return history;
}

}  // namespace results
