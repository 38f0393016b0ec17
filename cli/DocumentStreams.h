// A data file through standard input or output: "-" in place of its name.
#pragma once

#include <cstdio>
#include <string_view>
#include <system_error>

#include "run/DataList.h"

namespace cli {

// The name that stands for standard input (replay) or standard output (--dat).
inline constexpr std::string_view kStandardStream = "-";

// Reads the document from the stream to its end, as Load Data reads a file: at most the
// largest file it takes, a UTF-8 byte-order mark skipped, UTF-16 text refused. The reason
// when that fails; the list is then left as it was.
std::error_code ReadDocumentFrom(std::FILE* stream, run::DataList& list);

// Writes the document's bytes, as Save Data writes them, to the stream; the reason when that
// fails (a reader that has gone).
std::error_code WriteDocumentTo(std::FILE* stream, const run::DataList& list);

}  // namespace cli
