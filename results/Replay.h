#pragma once

#include <string>

#include "run/RunContext.h"

namespace results {

// The file a name from the Load Data dialog means. A dialog may add ".dat" to a name typed
// without an extension, and a user may leave it out: the name as given when that file
// exists; else without the ".dat" when the name without it exists, or with ".dat" added to
// a name without an extension when that file exists; else the name as given.
std::string LoadDataPath(const std::string& given);

// Asks for a data file, reads it into the document and replays it. A cancelled dialog
// changes nothing; a file that cannot be opened is shown as "Cannot open file %s: REASON"
// and leaves the document as it was. True when a file was read and replayed.
bool LoadData(run::RunContext& ctx);

// Replays the document as it stands; Start, Load Data and Compare With are refused while the
// replay runs.
void ReplayDocument(run::RunContext& ctx);

// Replays the document on the chart, line by line, with the texts, gauge, curve, error
// marks and summary of a live run, letting the window handle its events between lines. A
// Stop pressed meanwhile ends it there: "System Stopped", and the summary of what was drawn.
void DrawData(run::RunContext& ctx);

// The error sound, then "No right Transfer Results in this file found".
void BadData(run::RunContext& ctx);

}  // namespace results
