// The speeds a run wrote against the simulated drive's model for the same reads: each result
// line names the block whose data sectors were timed, so its read is found in the drive's
// log and its modelled time worked out again.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/RealTimeSystem.h"
#include "platform/SimDrive.h"
#include "results/ResultsDocument.h"

namespace bench {

struct ReadComparison {
    std::int32_t block = 0;
    double recordedKBs = 0.0;
    double modelKBs = 0.0;
    double modelMs = 0.0;
    // (recorded - model) / model, in percent.
    double errorPercent = 0.0;
    // What one tick of the millisecond clock over the modelled time can make of the speed,
    // plus the 1 KB/s the written figure loses to truncation, in percent.
    double tickBoundPercent = 0.0;
    // The read's real duration, and the recorded speed against the speed of that duration:
    // the clock's own part of the error, with its bound as above.
    double realMs = 0.0;
    double clockErrorPercent = 0.0;
    double realTickBoundPercent = 0.0;
};

struct Fidelity {
    std::vector<ReadComparison> reads;
    // Result lines without a successful timed read of their block in the drive's log.
    int unmatched = 0;
    double medianAbsErrorPercent = 0.0;
    double medianErrorPercent = 0.0;
    double worstAbsErrorPercent = 0.0;
    // The worst of |error| less its read's tick bound; 0 when every read lies within it.
    double worstBeyondTickPercent = 0.0;
    int withinTick = 0;
    double smallestTickBoundPercent = 0.0;
    double largestTickBoundPercent = 0.0;
    // Reads whose recorded speed lies within one tick of their real duration's.
    int withinTickOfReal = 0;
    // How much longer than modelled the reads really took (sleeping and copying).
    double medianLateMs = 0.0;
    double largestLateMs = 0.0;
};

// realReads: every read of the run with its real duration, in order.
Fidelity CompareWithModel(const results::DataList& document, const platform::SimDrive& drive,
                          const std::vector<RealRead>& realReads);

}  // namespace bench
