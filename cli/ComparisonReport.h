// What a comparison of two runs of a disc prints: a few lines for a person, the largest
// changes first, or one JSON object for a script.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "results/RunComparison.h"

namespace cli {

// The verdict and what made it, the two runs, and the note of a comparison forced across
// two discs. Texts from the files are printed safely.
void PrintComparison(std::FILE* out, const results::ComparisonResult& result);

// {"verdict": ..., "new_unreadable": [...], "recovered": [...], "slower": [{"first": ...,
// "last": ..., "ratio": ...}], "uniform_ratio": ... or null, "earlier": {...}, "later":
// {...}} on one line, the block numbers as the documents number them, ratios to two places.
std::string ComparisonJson(const results::RunComparison& comparison);

// A JSON string of 8-bit text: UTF-8 as it is, every other byte above 0x7F as the character
// of that number (the documents' 8-bit labels), control characters escaped.
std::string JsonString(std::string_view text);

}  // namespace cli
