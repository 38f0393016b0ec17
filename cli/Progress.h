#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/Streams.h"
#include "results/ResultsDocument.h"
#include "run/RunState.h"

namespace cli {

// What the progress line shows.
struct ProgressFigures {
    std::int32_t block = 0;
    std::int32_t total = 0;
    std::string speed;  // of the last measured block, in KB/s, as the document has it
    std::int32_t errors = 0;
    std::string left;  // the time left, "m:ss", or "--:--" while unknown
};

// The progress line for a terminal `columns` wide: the bar, the share done, the block, the
// speed, the errors and the time left, as many of them as fit, the least needed left out
// first. It never reaches the last column, where many terminals would start a new line.
std::string ProgressLine(const ProgressFigures& figures, int columns);

// Shows a run as it goes. On a terminal: the progress line, redrawn in place and fitted to
// the terminal's width at every redraw. Elsewhere: each result line of the document as it
// is written ("BLOCK SPEED"), flushed at once for the reader.
class ProgressReport {
  public:
    explicit ProgressReport(Streams& streams) : streams_(streams) {}

    // After the run has started: the document holds its first result line.
    void Begin(const run::RunState& state, const results::DataList& lines);
    void Update(const run::RunState& state, const results::DataList& lines);
    // After the end of the run: the progress line is closed.
    void Finish(const run::RunState& state, const results::DataList& lines);

  private:
    void PrintNewLines(const results::DataList& lines);
    void DrawBar(const run::RunState& state, const results::DataList& lines);

    Streams& streams_;
    std::size_t printed_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace cli
