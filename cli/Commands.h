#pragma once

#include <string>

#include "cli/Arguments.h"
#include "cli/Streams.h"

namespace cli {

// Exit statuses.
inline constexpr int kExitOk = 0;            // done; a run read every block
inline constexpr int kExitError = 1;         // an error of the program, said in words
inline constexpr int kExitUsage = 2;         // a command line that makes no sense
inline constexpr int kExitUnreadBlocks = 3;  // a complete run with blocks it could not read
inline constexpr int kExitWorse = 4;         // a run worse than the earlier run compared with
inline constexpr int kExitStopped = 130;     // a run stopped by a signal or a closed output

// Each command prints what it has to say and returns the program's exit status.
int RunDrives(Streams& streams);
int RunMeasure(const MeasureCommand& command, Streams& streams);
int RunReplay(const ReplayCommand& command, Streams& streams);
int RunCompare(const CompareCommand& command, Streams& streams);
int RunHistory(const HistoryCommand& command, Streams& streams);

// Says what is wrong with the command line, then the usage; the status of a usage error.
int UsageFailure(Streams& streams, const std::string& message);

}  // namespace cli
