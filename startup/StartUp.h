#pragma once

#include <optional>

#include "run/RunContext.h"

namespace startup {

inline constexpr platform::Color kGaugeBackColor = 0xDBEAEA;
inline constexpr platform::Color kGaugeForeColor = 0x205858;

// Prepares the window and the run state before the window is shown: chart colours and
// scale, the system's identification, the sector library where the system needs it, the
// empty chart, the gauge colours, the drive list, the first status text, the sequencer's
// default and an empty document. Returns the exit status when the program must end at once
// (1: the sector library or one of its entry points is missing).
std::optional<int> StartUp(run::RunContext& ctx);

}  // namespace startup
