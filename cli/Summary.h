#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/TerminalWindow.h"
#include "run/DataList.h"
#include "run/RunState.h"

namespace cli {

// The timed reads of a run, added up: the speed the drive kept while it was being timed.
struct TimedTotals {
    std::int64_t sectors = 0;
    std::int64_t microseconds = 0;  // whole ticks of a millisecond on a CD's volume
};

// What a finished run or replay prints: its state and figures, the speeds also in multiples
// of the medium's single speed, the mean of the measured blocks, and the files written. Texts
// from the disc or the file are printed safely (Printable), and names quoted.
void PrintRunSummary(std::FILE* out, const run::RunState& state, const TerminalWindow& window,
                     const run::DataList& document, const std::vector<std::string>& written);

// The header values of a replayed file, before its summary.
void PrintReplayHeader(std::FILE* out, const run::RunState& state);

// The read speed the run asked of the drive, and whether the drive took it.
// The drive's identity and its medium, where the system knows them.
void PrintDrive(std::FILE* out, const std::string& identity);
void PrintReadSpeed(std::FILE* out, const run::RunState& state);

// The timed throughput and the wall time of a measured run; `modelled` when the times are
// those a simulated drive modelled rather than a clock's.
void PrintTimes(std::FILE* out, const TimedTotals& timed, double wallSeconds, bool modelled);

}  // namespace cli
