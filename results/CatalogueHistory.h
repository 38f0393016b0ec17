// What a catalogue holds, a disc at a time: its label and size, how many runs it has and
// when the first and the last were filed, and how its last run compared with the one before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "results/CatalogueNames.h"
#include "results/RunComparison.h"

namespace results {

struct DiscHistory {
    std::string id;
    std::string label;  // as its last run gives it
    double volumeSize = 0.0;
    std::int32_t runs = 0;
    UtcTime first;
    UtcTime last;
    std::optional<Verdict> verdict;  // nothing for a disc with one run, or none comparable
};

struct CatalogueHistory {
    std::vector<DiscHistory> discs;  // worst first
    std::vector<std::string> notes;  // what was passed over, and why
    std::error_code error;           // the catalogue's folder could not be read
};

// The verdict as a listing shows it: the last run's side file gives it; where it gives none
// (no side file, a damaged one, a run compared with none), the two latest runs that can be
// read are compared. Damaged runs are passed over with a note and not counted, and so are
// names that are no part of a catalogue.
CatalogueHistory ReadCatalogueHistory(const std::string& catalogue);

// Worse, then the same, then better, then none; then by label and id.
bool ListedBefore(const DiscHistory& a, const DiscHistory& b);

}  // namespace results
