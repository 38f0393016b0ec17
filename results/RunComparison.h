// Two runs of one disc side by side: the blocks a later run cannot read that an earlier one
// could, the blocks it reads again, and where the disc has become slower to read.
//
// How a block is judged. The documents number blocks as the runs did (block k starts at
// sector k x 1000). A run times every second block and reads the one between untimed; an
// untimed read that fails leaves a result line of its own with speed 0, and the pairing then
// moves on by one block, so that two runs of one disc may time odd blocks in one stretch and
// even ones in another. So in a run a block is
//   - unreadable when its line has speed 0;
//   - readable when its line has a speed, or when it has no line but lies between the run's
//     first and last lines (it was read whole, untimed);
//   - unknown when it lies outside them (a run stopped early), and then nothing is said of it.
// A block is a new unreadable one when the later run has it at speed 0 and the earlier could
// read it; a recovered one the other way round.
//
// How speeds are judged. A block the later run timed is compared with the earlier run's speed
// of that block, or, when the earlier run did not time it, with the mean of the earlier speeds
// of the blocks either side of it. Another drive, another read speed or another sequencer
// moves the whole curve: the uniform ratio, the median of later / earlier over the blocks
// compared, is taken out of every block's ratio first. A slower region is a run of at least
// kSlowerRegionBlocks compared blocks in a row whose ratio, so corrected, is below
// kSlowerThan; blocks between them that the later run could not read, or that have nothing
// to compare with, neither count nor break the run. A drive's block-to-block noise (a few per
// cent) lies far above that bound, and one or two slow blocks in a row are noise too. A drive
// that reads the disc at another rate of its own (constant rotation against constant speed)
// changes the curve's shape, which no uniform ratio takes out: compare runs of one drive.
//
// The verdict: worse with any new unreadable block or slower region, else better with any
// recovered block, else the same. A uniformly slower run alone is the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/DocumentHeader.h"
#include "results/ResultsDocument.h"

namespace results {

inline constexpr double kSlowerThan = 0.8;
inline constexpr std::int32_t kSlowerRegionBlocks = 3;

// One run as the comparison reads it from its document.
struct RunRecord {
    std::string label;                // VolLabel as the document holds it
    double volumeSize = 0.0;          // sectors; 0 when the document gives none
    std::vector<BlockResult> blocks;  // the result lines, block numbers rising
};

struct RunReading {
    std::optional<RunRecord> run;
    std::string problem;  // why there is none
};

// The header's volume and the result lines. Unlike the replay, which draws what it can of
// a damaged file, a comparison takes no guess: a document without results, a result line
// that is not a block number, one blank and a whole speed, and block numbers that do not
// rise are refused, with the line's number in the file.
RunReading ReadRunRecord(const DataList& document);

// The volume of the document's header alone, without results: the disc of a run that has
// only begun.
RunRecord DiscOf(const DataList& document);

// What the report says of each run.
struct RunFacts {
    std::string label;
    double volumeSize = 0.0;
    std::int32_t blocks = 0;  // result lines
    std::int32_t unreadable = 0;
    std::int32_t firstBlock = 0;
    std::int32_t lastBlock = 0;
};
RunFacts FactsOf(const RunRecord& run);

enum class Verdict { Same, Worse, Better };
std::string_view VerdictName(Verdict verdict);  // "same", "worse", "better"

struct SlowerRegion {
    std::int32_t first = 0;  // block numbers of its first and last slow block
    std::int32_t last = 0;
    std::int32_t blocks = 0;  // slow blocks in it
    double ratio = 0.0;       // their mean speed against the earlier's, uniform ratio taken out
};

struct RunComparison {
    Verdict verdict = Verdict::Same;
    std::vector<std::int32_t> newUnreadable;  // rising
    std::vector<std::int32_t> recovered;      // rising
    std::vector<SlowerRegion> slower;         // in the order of the disc
    std::optional<double> uniformRatio;       // nothing when no block was timed in both
    std::int32_t comparedBlocks = 0;          // blocks whose speeds were compared
    RunFacts earlier;
    RunFacts later;
};

// Why the two runs cannot be of one disc (another volume size or label; a document that
// gives no size), in words; nothing when they can.
std::optional<std::string> DifferentDiscs(const RunRecord& earlier, const RunRecord& later);

struct ComparisonResult {
    std::optional<RunComparison> comparison;    // nothing when refused
    std::optional<std::string> differentDiscs;  // the reason, kept as a note when forced
};

// Runs of different discs are refused unless `force`.
ComparisonResult CompareRuns(const RunRecord& earlier, const RunRecord& later, bool force);

}  // namespace results
