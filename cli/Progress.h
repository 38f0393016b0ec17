#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

#include "engine/RunState.h"
#include "results/ResultsDocument.h"

namespace cli {

// Shows a run as it goes. On a terminal: one line redrawn in place with a bar, the block,
// the last speed, the errors and an estimate of the time left. Elsewhere: each result line
// of the document as it is written ("BLOCK SPEED"), flushed at once for the reader.
class ProgressReport {
  public:
    ProgressReport(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    // After the run has started: the document holds its first result line.
    void Begin(const engine::RunState& state, const results::DataList& lines);
    void Update(const engine::RunState& state, const results::DataList& lines);
    // After the end of the run: the bar's line is closed.
    void Finish(const engine::RunState& state, const results::DataList& lines);

  private:
    void PrintNewLines(const results::DataList& lines);
    void DrawBar(const engine::RunState& state, const results::DataList& lines);

    std::FILE* out_;
    bool terminal_;
    std::size_t printed_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace cli
