#include "platform/AtomicFile.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "platform/Files.h"
#include "platform/windows/RawDevice.h"

namespace platform {

namespace {

constexpr int kTemporaryNameTries = 100;

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// What is at the place a write lands, and how it is written.
enum class TargetKind { Missing, Regular, Directory, Device };

struct Target {
    std::string path;  // where the bytes go: a link followed to its file
    TargetKind kind = TargetKind::Missing;
    std::error_code error;  // why the place cannot be written, when known already
};

std::string FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// The file a symbolic link or junction finally names, in the usual spelling.
std::string FinalPath(const std::string& path) {
    const HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return path;
    }
    char buffer[MAX_PATH * 4];
    const DWORD length =
        ::GetFinalPathNameByHandleA(h, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    ::CloseHandle(h);
    if (length == 0 || length >= sizeof buffer) {
        return path;
    }
    std::string result(buffer, length);
    if (result.rfind("\\\\?\\UNC\\", 0) == 0) {
        return "\\\\" + result.substr(8);
    }
    return result.rfind("\\\\?\\", 0) == 0 ? result.substr(4) : result;
}

// Whether the nearest folder of the path that exists is a file instead: Windows says only
// that the path was not found.
bool UnderAFile(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    while (folder.has_relative_path()) {
        const DWORD attributes = ::GetFileAttributesA(folder.string().c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        }
        folder = folder.parent_path();
    }
    return false;
}

Target Resolve(const std::string& path) {
    if (path.empty()) {
        return {path, TargetKind::Missing,
                std::make_error_code(std::errc::no_such_file_or_directory)};
    }
    if (path.back() == '/' || path.back() == '\\') {
        return {path, TargetKind::Directory, std::make_error_code(std::errc::is_a_directory)};
    }
    // NUL, COM1, \\.\...: devices whatever the folder, written as they are.
    if (IsVolumeDevicePath(path) ||
        IsDeviceFileName(std::filesystem::path(path).filename().string())) {
        return {path, TargetKind::Device, {}};
    }
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        // Nothing there: this is the name to make (its folder may be missing too, which the
        // write then says).
        if (error == ERROR_PATH_NOT_FOUND && UnderAFile(path)) {
            return {path, TargetKind::Missing, std::make_error_code(std::errc::not_a_directory)};
        }
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {path, TargetKind::Missing, {}};
        }
        return {path, TargetKind::Missing, {static_cast<int>(error), std::system_category()}};
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {path, TargetKind::Directory, std::make_error_code(std::errc::is_a_directory)};
    }
    // A link to a file: the file is replaced in its own folder and the link stays.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return {FinalPath(path), TargetKind::Regular, {}};
    }
    return {path, TargetKind::Regular, {}};
}

std::error_code WriteAll(HANDLE h, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr)) {
            return LastError();
        }
        if (written == 0) {
            return std::make_error_code(std::errc::io_error);
        }
        bytes = bytes.subspan(written);
    }
    return {};
}

// A new file beside the target, named after it; the invalid handle when none can be made.
HANDLE CreateTemporary(const std::string& path, std::string& tempName) {
    static unsigned counter = 0;
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        char suffix[16];
        const auto pick =
            static_cast<unsigned>(::GetCurrentProcessId() * 7919u + ::GetTickCount() + ++counter);
        std::snprintf(suffix, sizeof suffix, ".%06x", pick & 0xFFFFFFu);
        tempName = path + suffix;
        const HANDLE h = ::CreateFileA(tempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return h;
        }
    }
    return INVALID_HANDLE_VALUE;
}

std::error_code ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string temp;
    const HANDLE h = CreateTemporary(path, temp);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    std::error_code error = WriteAll(h, bytes);
    if (!error && !::FlushFileBuffers(h)) {
        error = LastError();
    }
    if (!::CloseHandle(h) && !error) {
        error = LastError();
    }
    // Replaces the target in one step, and only once the new bytes are on the disk.
    if (!error && !::MoveFileExA(temp.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastError();
    }
    if (error) {
        ::DeleteFileA(temp.c_str());
    }
    return error;
}

HANDLE OpenDeviceForWriting(const std::string& path) {
    return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::error_code WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes) {
    const HANDLE h = OpenDeviceForWriting(path);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    // Devices keep nothing to flush, and some say so: only the writes count.
    std::error_code error = WriteAll(h, bytes);
    if (!::CloseHandle(h) && !error) {
        error = LastError();
    }
    return error;
}

// Where a name leads, for comparing two of them: absolute, links followed, in one case.
std::string Place(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absolute = fs::absolute(Resolve(path).path, ec);
    const fs::path canonical = fs::weakly_canonical(absolute, ec);
    std::string place = (ec ? absolute.lexically_normal() : canonical).string();
    std::transform(place.begin(), place.end(), place.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return place;
}

// The volume and index of an existing file, which two names of one file share.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = ::GetFileInformationByHandle(h, &info) != FALSE;
    ::CloseHandle(h);
    return ok;
}

}  // namespace

std::error_code WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const Target target = Resolve(path);
    if (target.error) {
        return target.error;
    }
    switch (target.kind) {
        case TargetKind::Device:
            return WriteInPlace(target.path, bytes);
        case TargetKind::Missing:
        case TargetKind::Regular:
            return ReplaceFile(target.path, bytes);
        case TargetKind::Directory:
            break;
    }
    return std::make_error_code(std::errc::invalid_argument);  // refused by Resolve already
}

std::error_code CheckWritable(const std::string& path) {
    const Target target = Resolve(path);
    if (target.error) {
        return target.error;
    }
    if (target.kind == TargetKind::Device) {
        const HANDLE h = OpenDeviceForWriting(target.path);
        if (h == INVALID_HANDLE_VALUE) {
            return LastError();
        }
        ::CloseHandle(h);
        return {};
    }
    // A new file is made and renamed in the folder, which must take it.
    return CheckFolderWritable(FolderOf(target.path));
}

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia{};
    BY_HANDLE_FILE_INFORMATION ib{};
    const bool aExists = FileIdentity(a, ia);
    const bool bExists = FileIdentity(b, ib);
    if (aExists && bExists) {
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    }
    if (aExists || bExists) {
        return false;
    }
    // Neither is a file yet (or both are devices): the same place, in any case.
    return Place(a) == Place(b);
}

}  // namespace platform
