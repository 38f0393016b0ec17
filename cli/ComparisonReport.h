// What a comparison of two runs of a disc prints: a few lines for a person, the largest
// changes first, or one JSON object for a script.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "results/JsonText.h"
#include "results/RunComparison.h"

namespace cli {

// The verdict and what made it, the two runs, and the note of a comparison forced across
// two discs. Texts from the files are printed safely.
void PrintComparison(std::FILE* out, const results::ComparisonResult& result);

// {"verdict": ..., "new_unreadable": [...], "recovered": [...], "slower": [{"first": ...,
// "last": ..., "ratio": ...}], "uniform_ratio": ... or null, "earlier": {...}, "later":
// {...}} on one line, the block numbers as the documents number them, ratios to two places.
std::string ComparisonJson(const results::RunComparison& comparison);

// A JSON string of 8-bit text (the results' own, shared with the catalogue's side files).
using results::JsonString;

}  // namespace cli
