// A measured run filed in a catalogue, and compared with the disc's last run there.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/Arguments.h"
#include "cli/Streams.h"
#include "results/CatalogueFiling.h"
#include "run/DataList.h"
#include "run/RunState.h"

namespace cli {

// The catalogue a run is filed in: --catalogue, else DISCOMETER_CATALOGUE when it is set and
// not empty; nothing when neither names one.
std::optional<std::string> CatalogueOf(const MeasureCommand& command);

// Before a run: the catalogue's folder, made when it is missing, must take new files. The
// reason, in words, when it cannot.
std::optional<std::string> CatalogueProblem(const std::string& catalogue);

struct CatalogueOutcome {
    bool failed = false;  // the document or its side file could not be filed
    bool worse = false;   // than the disc's last run in the catalogue
};

// Files the run, compares it with the disc's latest earlier run that can be read, and
// prints both in the summary; what it cannot do is said through `streams`.
CatalogueOutcome FileInCatalogue(const std::string& catalogue, const run::RunState& state,
                                 const run::DataList& document, const results::MeasuredWith& with,
                                 std::FILE* summary, Streams& streams);

}  // namespace cli
