#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// What a path names.
enum class PathKind { Missing, Regular, Directory, BlockDevice, Other };

struct PathInfo {
    PathKind kind = PathKind::Missing;
    std::error_code error;    // why a missing path could not be looked at
    std::uint64_t bytes = 0;  // a regular file's size or a block device's capacity, when known
};

// Looks at a path without opening what it names for reading.
PathInfo InspectPath(const std::string& path);

// Reads dst.size() bytes at the byte offset through the ordinary, buffered file calls, without
// waiting for a drive that has no disc; false when fewer bytes arrive. For looking at a medium
// outside a run.
bool PeekBytes(const std::string& path, std::uint64_t byteOffset, std::span<std::uint8_t> dst);

// What may help a user whose drive could not be opened, in this system's own terms (the group
// that may read drives, no disc in the drive); empty when there is nothing to add.
std::string OpenFailureHint(const std::string& path, std::error_code error);

// Whether a new file can be made in the folder; the reason when not.
std::error_code CheckFolderWritable(const std::string& folder);

// A file's bytes, or why they could not be read.
struct FileBytes {
    std::string bytes;
    std::error_code error;  // none when bytes holds the whole file
};

// The bytes of a regular file of at most maxBytes; the reason when it cannot be read, is
// larger ("File too large"), is a folder ("Is a directory") or is no regular file at all (a
// device or a pipe could block the program or never end).
FileBytes ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// The reasons of this program's own that a file could not be read.
enum class FileProblem { NotRegular = 1, ChangedWhileRead };
std::error_code MakeError(FileProblem problem);

// Whether a file name on this system may hold the character: never the folder separator or
// NUL; on Windows none of \ / : * ? " < > | and no control character either.
bool FileNameMayHold(char c);

// Whether the system takes the file name for one of its devices, whatever its extension
// (CON, NUL, COM1, ... on Windows, where "NUL.dat" is no file); never on Linux.
bool IsDeviceFileName(std::string_view name);

// The drive-list entry for a drive or a disc image named on the command line: a relative path
// of an image becomes absolute, so it is not taken for a drive name; a drive name (sr0, D:)
// and an absolute path stay as they are.
std::string DriveEntryForArgument(const std::string& argument);

}  // namespace platform
