#pragma once

#include "run/RunContext.h"

namespace results {

// Asks for a data file, reads it into the document and replays it. A cancelled dialog
// changes nothing; a file that cannot be opened is shown as "Cannot open file %s: REASON"
// and leaves the document as it was. Start and Load Data are refused while the replay runs.
void LoadData(run::RunContext& ctx);

// Replays the document on the chart, line by line, with the texts, gauge, curve, error
// marks and summary of a live run, letting the window handle its events between lines. A
// Stop pressed meanwhile ends it there: "System Stopped", and the summary of what was drawn.
void DrawData(run::RunContext& ctx);

// The error sound, then "No right Transfer Results in this file found".
void BadData(run::RunContext& ctx);

}  // namespace results
