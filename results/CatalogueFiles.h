// The file operations a catalogue of runs needs beyond writing a whole file: folders made
// and listed, and a file written under a name only when nobody has taken it, so that
// programs filing into one folder at once, on one machine or on several sharing it, never
// write over one another.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace results {

// Makes the folder and those above it that are missing; the reason when it cannot, or when
// something other than a folder stands in its place.
std::error_code MakeFolders(const std::string& path);

struct FolderEntry {
    std::string name;
    bool folder = false;  // else a file, or whatever else it is
};

struct FolderListing {
    std::vector<FolderEntry> entries;  // in no particular order
    std::error_code error;             // why the folder could not be read
};

FolderListing ListFolder(const std::string& path);

// Writes the bytes whole under `path` when no file of that name exists yet: to a hidden
// file of a name of its own beside it, then linked to `path` (a link is made or refused at
// once, even on a network drive), then the hidden name removed. An existing file is never
// touched: std::errc::file_exists then. Where the file system has no links (FAT), the file
// is renamed to `path` after a look that the name is free, which two programs could pass at
// once. Any other reason the file could not be written; nothing is left behind then.
std::error_code WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace results
