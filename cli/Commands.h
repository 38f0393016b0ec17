#pragma once

#include "cli/Arguments.h"

namespace cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130;

// Each command prints what it has to say and returns the program's exit status.
int RunDrives();
int RunMeasure(const MeasureCommand& command);
int RunReplay(const ReplayCommand& command);

}  // namespace cli
