// What `history` prints of a catalogue: a line a disc for a person, or one JSON object.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "results/CatalogueHistory.h"

namespace cli {

// A header line and a line a disc, in the order given, the labels printed safely.
void PrintHistory(std::FILE* out, const std::vector<results::DiscHistory>& discs);

// {"discs": [{"id": ..., "label": ..., "size": ..., "runs": ..., "first": ..., "last": ...,
// "verdict": "worse" or null}, ...]} on one line.
std::string HistoryJson(const std::vector<results::DiscHistory>& discs);

}  // namespace cli
