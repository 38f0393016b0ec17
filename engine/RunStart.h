#pragma once

#include "run/RunContext.h"

namespace engine {

// Starts a run on the drive the list shows: reads the volume descriptor and the first block,
// draws the empty chart with the disc-size marker and the title, writes the document's
// header and first result line, locks the controls and starts the timer. Any failure plays
// the error sound and starts nothing. True when the run has started.
bool StartRun(run::RunContext& ctx);

}  // namespace engine
