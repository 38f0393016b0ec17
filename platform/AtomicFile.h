#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <system_error>
#include <type_traits>

namespace platform {

// Writes the bytes as the whole content of the file at path, without damaging what it
// writes over:
// - a regular file, or a name not taken yet, is written to a temporary file beside it and
//   renamed over it once every byte is on disk; on failure an earlier file of that name
//   stays as it was; a file replaced keeps its permissions;
// - a symbolic link is followed to the file it finally names (a relative target counts from
//   the link's own folder), and that file is written as above in its own folder; the link
//   stays a link, and a link to nothing gets its target made;
// - a device or a pipe is written in place, with no rename; a pipe that no program reads is
//   refused at once rather than waited for;
// - a folder, a socket or a loop of links is refused.
// Returns the reason when the file could not be written.
std::error_code WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

// Why WriteWholeFile would fail at path, as far as can be known before writing: a missing or
// unwritable folder, a folder or a socket in the file's place, a loop of links, a device that
// may not be written. Nothing when it looks writable; the write itself can still fail.
std::error_code CheckWritable(const std::string& path);

// True when the two paths name the same file, however they are spelt ("./", "..", links,
// hard links): the same file on disk for names that exist, the same place for names that do
// not exist yet, following links as WriteWholeFile does.
bool SameFile(const std::string& a, const std::string& b);

// Reasons of the file writer for which the system has no words of its own.
enum class WriteError {
    NoReader = 1,  // a pipe that no program reads from
    Socket,        // a socket, which is not written as a file
};

class WriteErrorCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "discometer-write"; }
    std::string message(int value) const override {
        switch (static_cast<WriteError>(value)) {
            case WriteError::NoReader:
                return "no program is reading from the pipe";
            case WriteError::Socket:
                return "it is a socket, not a file";
        }
        return "unknown error";
    }
};

inline const std::error_category& WriteErrors() {
    static const WriteErrorCategory category;
    return category;
}

inline std::error_code make_error_code(WriteError e) {
    return {static_cast<int>(e), WriteErrors()};
}

}  // namespace platform

template <>
struct std::is_error_code_enum<platform::WriteError> : std::true_type {};
