#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The environment variable that names the drive list's entries, replacing the search for
// optical drives: a comma-separated list of drives, disc images and simulated drives.
inline constexpr const char* kDrivesVariable = "DISCOMETER_DRIVES";

// The value of the drive list variable, or nothing when it is not set.
std::optional<std::string> DriveEntriesFromEnvironment();

// Splits a comma-separated list of drive entries, dropping empty ones and surrounding blanks.
// An entry is read as the command line reads a drive: a relative path of an image
// (./disc.iso) from the current folder, rather than as a kernel name under /dev.
std::vector<std::string> SplitDriveEntries(const std::string& list);

}  // namespace platform
