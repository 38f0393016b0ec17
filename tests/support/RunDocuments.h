// The documents of the tests' runs: their result lines, and their replay in a program.
#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "results/Replay.h"
#include "results/ResultsDocument.h"

namespace fakes {

// The (block, speed) pairs of the document's result lines.
inline std::vector<results::BlockResult> Results(const results::DataList& lines) {
    std::vector<results::BlockResult> found;
    const auto header = std::find(lines.begin(), lines.end(), "[TransferResults]");
    for (auto it = header; it != lines.end(); ++it) {
        if (const auto r = results::ReadBlockResult(*it)) {
            found.push_back(*r);
        }
    }
    return found;
}

// Loads a saved document into a fresh program and replays it.
template <typename Replayer>
void Replay(Replayer& p, const results::DataList& document, const std::filesystem::path& file) {
    ASSERT_EQ(results::WriteDocument(document, file.string()), std::error_code());
    p.prompts.answers.push_back(file.string());
    results::LoadData(p.ctx);
}

}  // namespace fakes
