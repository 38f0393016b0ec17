#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Writes the bytes to a temporary file beside the target and renames it over the target only
// once every byte is on disk. On failure (no such folder, no permission, disk full, a bad
// name) returns false and leaves any earlier file of that name untouched.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
