#include "bench/Fidelity.h"

#include <algorithm>
#include <cmath>

#include "bench/Stats.h"
#include "results/DocumentHeader.h"

namespace bench {

namespace {

constexpr std::int64_t kBlockSectors = 1000;
constexpr double kKilobytesPerSector = 2.0;

const platform::SimRead* TimedRead(const std::vector<platform::SimRead>& log,
                                   std::int64_t firstSector) {
    const auto it = std::find_if(log.begin(), log.end(), [&](const platform::SimRead& r) {
        return r.first == firstSector && r.ok;
    });
    return it == log.end() ? nullptr : &*it;
}

// The last read that began at the sector: the timed read of a block comes once.
const RealRead* RealReadAt(const std::vector<RealRead>& reads, std::int64_t firstSector) {
    const auto it = std::find_if(reads.rbegin(), reads.rend(),
                                 [&](const RealRead& r) { return r.firstSector == firstSector; });
    return it == reads.rend() ? nullptr : &*it;
}

// One tick over a read of so many milliseconds, and 1 KB/s of the speed, in percent.
double TickBoundPercent(double ms, double kilobytesPerSecond) {
    return 100.0 / (ms - 1.0) + 100.0 / kilobytesPerSecond;
}

}  // namespace

Fidelity CompareWithModel(const results::DataList& document, const platform::SimDrive& drive,
                          const std::vector<RealRead>& realReads) {
    Fidelity f;
    const std::int32_t first = results::SearchKey(document, results::kResultsHeader);
    if (first <= 0) {
        return f;
    }
    for (std::size_t i = static_cast<std::size_t>(first); i < document.size(); ++i) {
        const auto result = results::ReadBlockResult(document[i]);
        if (!result) {
            continue;
        }
        const platform::SimRead* read =
            TimedRead(drive.ReadLog(), std::int64_t{result->BlockIndex} * kBlockSectors);
        const RealRead* real =
            RealReadAt(realReads, std::int64_t{result->BlockIndex} * kBlockSectors);
        if (read == nullptr || real == nullptr || result->Speed <= 0) {
            ++f.unmatched;
            continue;
        }
        // It follows the untimed read of the block before, so no seek.
        const double ms = drive.ModelDurationMs(read->first, read->count, true);
        ReadComparison c;
        c.block = result->BlockIndex;
        c.recordedKBs = result->Speed;
        c.modelMs = ms;
        c.modelKBs = static_cast<double>(read->count) * kKilobytesPerSector / ms * 1000.0;
        c.errorPercent = (c.recordedKBs - c.modelKBs) / c.modelKBs * 100.0;
        c.tickBoundPercent = TickBoundPercent(ms, c.modelKBs);
        const double kilobytes = static_cast<double>(read->count) * kKilobytesPerSector;
        const double realKBs = kilobytes / real->ms * 1000.0;
        c.realMs = real->ms;
        c.clockErrorPercent = (c.recordedKBs - realKBs) / realKBs * 100.0;
        c.realTickBoundPercent = TickBoundPercent(real->ms, realKBs);
        f.reads.push_back(c);
    }
    std::vector<double> abs;
    std::vector<double> signedErrors;
    std::vector<double> bounds;
    std::vector<double> late;
    for (const ReadComparison& c : f.reads) {
        late.push_back(c.realMs - c.modelMs);
        if (std::fabs(c.clockErrorPercent) <= c.realTickBoundPercent) {
            ++f.withinTickOfReal;
        }
        abs.push_back(std::fabs(c.errorPercent));
        signedErrors.push_back(c.errorPercent);
        bounds.push_back(c.tickBoundPercent);
        const double beyond = std::fabs(c.errorPercent) - c.tickBoundPercent;
        if (beyond <= 0) {
            ++f.withinTick;
        }
        f.worstBeyondTickPercent = std::max(f.worstBeyondTickPercent, beyond);
    }
    f.medianAbsErrorPercent = Median(abs);
    f.medianErrorPercent = Median(signedErrors);
    f.worstAbsErrorPercent = Largest(abs);
    f.smallestTickBoundPercent = Smallest(bounds);
    f.largestTickBoundPercent = Largest(bounds);
    f.medianLateMs = Median(late);
    f.largestLateMs = Largest(late);
    return f;
}

}  // namespace bench
