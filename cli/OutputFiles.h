#pragma once

#include <optional>
#include <string>

namespace cli {

// Why a file could not be created at path, found before a long run rather than after it:
// a missing or unwritable folder, or a folder in the file's place. Nothing when it looks
// writable; the write itself can still fail, and says so then.
std::optional<std::string> OutputProblem(const std::string& path);

}  // namespace cli
