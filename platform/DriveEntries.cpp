#include "platform/DriveEntries.h"

#include <cstdlib>

#include "platform/Files.h"

namespace platform {

std::optional<std::string> DriveEntriesFromEnvironment() {
    if (const char* value = std::getenv(kDrivesVariable)) {
        return std::string(value);
    }
    return std::nullopt;
}

std::vector<std::string> SplitDriveEntries(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        std::string entry = list.substr(start, end - start);
        const auto first = entry.find_first_not_of(" \t");
        const auto last = entry.find_last_not_of(" \t");
        if (first != std::string::npos) {
            entries.push_back(DriveEntryForArgument(entry.substr(first, last - first + 1)));
        }
        start = end + 1;
    }
    return entries;
}

}  // namespace platform
