#pragma once

#include "run/RunContext.h"

namespace results {

// What a run and a replay show of the block at BlockIndex: "Blocks Read" and the gauge.
void ShowBlockRead(run::RunContext& ctx);

// The rest of it once its speed is in CurSpeed (0 for an unreadable block): the speed text,
// the highest and lowest speed, the curve on to the block and the error count. CurSpeed is
// left limited to full scale, as the curve drew it.
void ShowBlockSpeed(run::RunContext& ctx);

}  // namespace results
