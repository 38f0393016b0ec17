#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "results/ResultsDocument.h"
#include "run/RunState.h"
#include "run/ShortText.h"

namespace results {

inline constexpr std::string_view kResultsHeader = "[TransferResults]";

// Appends the header of a new run and its first result line (block BlockIndex, speed
// CurSpeed, which run start has already limited to full scale): 23 lines in all.
void WriteDocumentHeader(DataList& list, const run::RunState& state);

// A result line: the block number, one blank, the speed truncated toward zero.
std::string ResultLine(std::int32_t blockIndex, double speed);

// What the header sections of a loaded file give, each value its default when its section
// or key is missing. Numbers are signed, as the file holds them.
struct DocumentHeader {
    std::string Program = "Builder - Unknown";
    std::string Copyright = "Copyright - Unknown";
    std::int32_t Platform = 0;
    std::int32_t MajorVersion = 0;
    std::int32_t MinorVersion = 0;
    std::int32_t BuildNumber3 = 0;
    std::int32_t BuildNumber2 = 0;
    std::string Name = "Unknown";
    run::ShortText VolLabel = std::string_view("Unknown");
    double VolSize = 0.0;
};

DocumentHeader ReadDocumentHeader(const DataList& list);

// The speed of the first result line: up to five characters after the block number and
// its blank, as a real.
double ReadFirstResultSpeed(std::string_view line);

struct BlockResult {
    std::int32_t BlockIndex = 0;
    double Speed = 0.0;
};

// A later result line: the block number before the first blank and the speed after it, in
// as many digits as it has. Nothing for a line without a blank (an empty line included),
// which is no result line and is skipped.
std::optional<BlockResult> ReadBlockResult(std::string_view line);

}  // namespace results
