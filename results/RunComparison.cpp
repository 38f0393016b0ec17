#include "results/RunComparison.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "results/NumberText.h"
#include "results/VolumeLabel.h"

namespace results {

namespace {

// A speed has at most this many digits: any more is no measurement, and the ratios of
// speeds so bounded stay finite.
constexpr std::size_t kSpeedDigits = 15;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "BLOCK SPEED" as a run writes it: decimal digits, one blank, decimal digits; blanks after
// it are forgiven (an editor may leave them). Nothing for anything else.
std::optional<BlockResult> ParseResultLine(std::string_view line) {
    std::size_t i = 0;
    std::int64_t block = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
        block = block * 10 + (line[i] - '0');
        if (block > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    if (i == 0 || i >= line.size() || line[i] != ' ') {
        return std::nullopt;
    }
    const std::size_t speedStart = ++i;
    double speed = 0.0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
        speed = speed * 10 + (line[i] - '0');
    }
    const std::size_t digits = i - speedStart;
    if (digits == 0 || digits > kSpeedDigits) {
        return std::nullopt;
    }
    for (; i < line.size(); ++i) {
        if (line[i] != ' ' && line[i] != '\t') {
            return std::nullopt;
        }
    }
    return BlockResult{static_cast<std::int32_t>(block), speed};
}

constexpr std::string_view kNoResultLine =
    " is no result line (a block number, one blank and a speed in KB/s)";

std::string LineNumber(std::size_t index) {
    return "line " + std::to_string(index + 1);
}

// The run's line of `block`, or nothing when it has none.
const BlockResult* LineOf(const RunRecord& run, std::int64_t block) {
    const auto it = std::lower_bound(
        run.blocks.begin(), run.blocks.end(), block,
        [](const BlockResult& line, std::int64_t b) { return line.BlockIndex < b; });
    return it != run.blocks.end() && it->BlockIndex == block ? &*it : nullptr;
}

enum class BlockState { Unknown, Readable, Unreadable };

BlockState StateOf(const RunRecord& run, std::int32_t block) {
    if (const BlockResult* line = LineOf(run, block)) {
        return line->Speed > 0 ? BlockState::Readable : BlockState::Unreadable;
    }
    if (run.blocks.empty() || block < run.blocks.front().BlockIndex ||
        block > run.blocks.back().BlockIndex) {
        return BlockState::Unknown;
    }
    return BlockState::Readable;  // passed over by an untimed read, which leaves no line
}

// The earlier run's speed of a block: its own, or the mean of its neighbours' when it was
// not timed (after a failed read the runs time blocks of the other parity). Nothing when
// the block could not be read, or has no timed neighbour.
std::optional<double> EarlierSpeedAt(const RunRecord& earlier, std::int32_t block) {
    if (const BlockResult* line = LineOf(earlier, block)) {
        return line->Speed > 0 ? std::optional(line->Speed) : std::nullopt;
    }
    double sum = 0.0;
    int timed = 0;
    for (const std::int64_t side : {std::int64_t{block} - 1, std::int64_t{block} + 1}) {
        const BlockResult* line = LineOf(earlier, side);
        if (line != nullptr && line->Speed > 0) {
            sum += line->Speed;
            ++timed;
        }
    }
    return timed > 0 ? std::optional(sum / timed) : std::nullopt;
}

double Median(std::vector<double> values) {
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle),
                     values.end());
    const double upper = values[middle];
    if (values.size() % 2 != 0) {
        return upper;
    }
    const double lower =
        *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
    return (lower + upper) / 2;
}

struct ComparedBlock {
    std::int32_t block = 0;
    double ratio = 0.0;  // later / earlier
};

// The runs of slow blocks among the compared ones, once the uniform ratio is taken out.
std::vector<SlowerRegion> SlowerRegions(const std::vector<ComparedBlock>& compared,
                                        double uniform) {
    std::vector<SlowerRegion> regions;
    SlowerRegion open;
    double ratioSum = 0.0;
    const auto close = [&] {
        if (open.blocks >= kSlowerRegionBlocks) {
            open.ratio = ratioSum / open.blocks;
            regions.push_back(open);
        }
        open = SlowerRegion{};
        ratioSum = 0.0;
    };
    for (const ComparedBlock& c : compared) {
        const double corrected = c.ratio / uniform;
        if (corrected >= kSlowerThan) {
            close();
            continue;
        }
        if (open.blocks == 0) {
            open.first = c.block;
        }
        open.last = c.block;
        ++open.blocks;
        ratioSum += corrected;
    }
    close();
    return regions;
}

RunComparison Compare(const RunRecord& earlier, const RunRecord& later) {
    RunComparison c;
    c.earlier = FactsOf(earlier);
    c.later = FactsOf(later);
    for (const BlockResult& line : later.blocks) {
        if (line.Speed == 0 && StateOf(earlier, line.BlockIndex) == BlockState::Readable) {
            c.newUnreadable.push_back(line.BlockIndex);
        }
    }
    for (const BlockResult& line : earlier.blocks) {
        if (line.Speed == 0 && StateOf(later, line.BlockIndex) == BlockState::Readable) {
            c.recovered.push_back(line.BlockIndex);
        }
    }

    std::vector<ComparedBlock> compared;
    for (const BlockResult& line : later.blocks) {
        if (line.Speed <= 0) {
            continue;
        }
        if (const auto before = EarlierSpeedAt(earlier, line.BlockIndex)) {
            compared.push_back({line.BlockIndex, line.Speed / *before});
        }
    }
    c.comparedBlocks = static_cast<std::int32_t>(compared.size());
    if (!compared.empty()) {
        std::vector<double> ratios;
        ratios.reserve(compared.size());
        for (const ComparedBlock& b : compared) {
            ratios.push_back(b.ratio);
        }
        c.uniformRatio = Median(std::move(ratios));
        c.slower = SlowerRegions(compared, *c.uniformRatio);
    }

    if (!c.newUnreadable.empty() || !c.slower.empty()) {
        c.verdict = Verdict::Worse;
    } else if (!c.recovered.empty()) {
        c.verdict = Verdict::Better;
    }
    return c;
}

}  // namespace

RunRecord DiscOf(const DataList& document) {
    const DocumentHeader header = ReadDocumentHeader(document);
    RunRecord run;
    run.label = header.VolLabel.str();
    run.volumeSize = header.VolSize;
    return run;
}

RunReading ReadRunRecord(const DataList& document) {
    RunRecord run = DiscOf(document);

    const std::int32_t first = SearchKey(document, kResultsHeader);
    for (std::size_t i = first == 0 ? document.size() : static_cast<std::size_t>(first);
         i < document.size(); ++i) {
        if (document[i].empty()) {
            continue;  // as the replay passes over them
        }
        const auto line = ParseResultLine(document[i]);
        if (!line) {
            return {std::nullopt, LineNumber(i) + std::string(kNoResultLine)};
        }
        if (!run.blocks.empty() && line->BlockIndex <= run.blocks.back().BlockIndex) {
            return {std::nullopt, LineNumber(i) + ": block " + IntToText(line->BlockIndex) +
                                      " does not follow block " +
                                      IntToText(run.blocks.back().BlockIndex)};
        }
        run.blocks.push_back(*line);
    }
    if (run.blocks.empty()) {
        return {std::nullopt, "no transfer results in it"};
    }
    return {std::move(run), {}};
}

RunFacts FactsOf(const RunRecord& run) {
    RunFacts facts;
    facts.label = run.label;
    facts.volumeSize = run.volumeSize;
    facts.blocks = static_cast<std::int32_t>(run.blocks.size());
    for (const BlockResult& line : run.blocks) {
        if (line.Speed == 0) {
            ++facts.unreadable;
        }
    }
    if (!run.blocks.empty()) {
        facts.firstBlock = run.blocks.front().BlockIndex;
        facts.lastBlock = run.blocks.back().BlockIndex;
    }
    return facts;
}

std::string_view VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Worse:
            return "worse";
        case Verdict::Better:
            return "better";
        case Verdict::Same:
            break;
    }
    return "same";
}

std::optional<std::string> DifferentDiscs(const RunRecord& earlier, const RunRecord& later) {
    for (const auto& [run, which] : {std::pair{&earlier, "earlier"}, std::pair{&later, "later"}}) {
        if (!(run->volumeSize > 0)) {
            return std::string("the ") + which + " run gives no volume size to tell its disc by";
        }
    }
    const std::string earlierSize = TruncToText(earlier.volumeSize);
    const std::string laterSize = TruncToText(later.volumeSize);
    if (earlierSize != laterSize) {
        return "volumes of different sizes: " + earlierSize + " sectors in the earlier run, " +
               laterSize + " in the later";
    }
    const std::string_view earlierLabel = WithoutFill(earlier.label);
    const std::string_view laterLabel = WithoutFill(later.label);
    if (earlierLabel != laterLabel) {
        return "volumes of different labels: '" + PrintableLabel(earlierLabel) +
               "' in the earlier run, '" + PrintableLabel(laterLabel) + "' in the later";
    }
    return std::nullopt;
}

ComparisonResult CompareRuns(const RunRecord& earlier, const RunRecord& later, bool force) {
    ComparisonResult result;
    result.differentDiscs = DifferentDiscs(earlier, later);
    if (!result.differentDiscs || force) {
        result.comparison = Compare(earlier, later);
    }
    return result;
}

}  // namespace results
