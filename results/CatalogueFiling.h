// A measured run filed in a catalogue and compared with the disc's run before it there: what
// the command line and the window both do at the end of a run.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/System.h"
#include "results/Catalogue.h"
#include "results/ResultsDocument.h"
#include "results/RunComparison.h"
#include "run/RunState.h"

namespace results {

// The catalogue named by DISCOMETER_CATALOGUE, when it is set and not empty.
std::optional<std::string> CatalogueFromEnvironment();

// What the run was measured with, for its side file.
struct MeasuredWith {
    std::string drive;  // the drive-list entry
    platform::DriveIdentity identity;
    std::string ended;  // "complete", "stopped", "disc removed", "disc changed"
};

// How a run ended, as its side file says; `stopped` when the user stopped it.
std::string HowItEnded(const run::RunState& s, bool stopped);

// The disc's latest run in the catalogue that can be read, and what was passed over on the
// way to it, in words.
struct LastRun {
    std::optional<EarlierRun> found;
    std::vector<std::string> notes;
};
LastRun FindLastRun(const std::string& catalogue, std::string_view discId);

struct FiledRun {
    FilingResult filing;
    // The comparison with the earlier run, when one was given and the run could be compared.
    std::optional<RunComparison> comparison;
    std::string notCompared;  // why not, when one was given and it could not
};

// Files the run's document with its side file, which records the comparison with `earlier`,
// the disc's last run found in the catalogue, if any.
FiledRun FileMeasuredRun(const std::string& catalogue, const run::RunState& state,
                         const DataList& document, const MeasuredWith& with,
                         const std::optional<EarlierRun>& earlier);

}  // namespace results
