#pragma once

#include "run/RunContext.h"

namespace engine {

// One tick of a run: an untimed read of a whole block, a timed read of the data sectors of
// the next block, one result line, one point of the curve, the gauge and the status texts.
// Ends the run at the last block, at a failed read within the last 1000 sectors, or when a
// stop was requested.
void MeasureTick(run::RunContext& ctx);

// The end of a run, complete, stopped (`stopped`) or ended by its disc: closes the drive,
// draws the summary on the chart, tells the window, unlocks the controls, and saves
// automatically or offers the save commands.
void EndRun(run::RunContext& ctx, bool stopped = false);

}  // namespace engine
