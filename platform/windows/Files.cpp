#include "platform/Files.h"

#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "platform/windows/RawDevice.h"

namespace platform {

namespace {

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Closes a handle when it goes.
class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) {
            ::CloseHandle(h_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

// Opens for reading, shared with everyone, without asking for any more access than that.
HANDLE OpenForReading(const std::string& path) {
    return ::CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadFully(HANDLE h, std::uint64_t offset, std::span<std::uint8_t> dst) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return ::SetFilePointerEx(h, distance, nullptr, FILE_BEGIN) &&
           ::ReadFile(h, dst.data(), static_cast<DWORD>(dst.size()), &got, nullptr) &&
           got == dst.size();
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

PathInfo InspectPath(const std::string& path) {
    PathInfo info;
    if (IsVolumeDevicePath(path)) {
        Handle h(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
        if (!h.valid()) {
            info.error = LastError();
            return info;
        }
        info.kind = PathKind::BlockDevice;
        GET_LENGTH_INFORMATION length{};
        DWORD returned = 0;
        if (::DeviceIoControl(h.get(), IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length,
                              sizeof length, &returned, nullptr)) {
            info.bytes = static_cast<std::uint64_t>(length.Length.QuadPart);
        }
        return info;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        info.error = LastError();
        return info;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        info.kind = PathKind::Directory;
    } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        info.kind = PathKind::Other;
    } else {
        info.kind = PathKind::Regular;
        info.bytes = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return info;
}

bool PeekBytes(const std::string& path, std::uint64_t byteOffset, std::span<std::uint8_t> dst) {
    Handle h(OpenForReading(path));
    return h.valid() && ReadFully(h.get(), byteOffset, dst);
}

std::string OpenFailureHint(const std::string& path, std::error_code error) {
    if (error.category() != std::system_category()) {
        return {};
    }
    switch (error.value()) {
        case ERROR_NOT_READY:
            return "no disc in the drive";
        case ERROR_ACCESS_DENIED:
            return IsVolumeDevicePath(path) ? "reading a drive directly may need an administrator"
                                            : std::string();
        case ERROR_SHARING_VIOLATION:
            return "another program holds it open";
        default:
            return {};
    }
}

std::error_code CheckFolderWritable(const std::string& folder) {
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return LastError();
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    // The folder's permissions are the file system's to judge: make a file and remove it.
    std::array<char, MAX_PATH> probe{};
    if (::GetTempFileNameA(folder.c_str(), "dsc", 0, probe.data()) == 0) {
        return LastError();
    }
    ::DeleteFileA(probe.data());
    return {};
}

FileBytes ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
    FileBytes file;
    if (IsVolumeDevicePath(path)) {
        file.error = MakeError(FileProblem::NotRegular);
        return file;
    }
    // A folder cannot be opened as a file at all (the open fails with "access denied"): say
    // what it is.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        file.error = std::make_error_code(std::errc::is_a_directory);
        return file;
    }
    Handle h(OpenForReading(path));
    if (!h.valid()) {
        file.error = LastError();
        return file;
    }
    if (::GetFileType(h.get()) != FILE_TYPE_DISK) {
        file.error = MakeError(FileProblem::NotRegular);  // a console, a pipe or a device (NUL)
        return file;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h.get(), &size)) {
        file.error = LastError();
        return file;
    }
    if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        file.error = std::make_error_code(std::errc::file_too_large);
        return file;
    }
    std::string& data = file.bytes;
    data.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(h.get(), chunk, sizeof chunk, &got, nullptr)) {
            file.error = LastError();
            break;
        }
        if (got == 0) {
            break;
        }
        data.append(chunk, got);
        if (data.size() > maxBytes) {  // the file grew while it was read
            file.error = MakeError(FileProblem::ChangedWhileRead);
            break;
        }
    }
    if (file.error) {
        data.clear();
    }
    return file;
}

bool FileNameMayHold(char c) {
    constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    return static_cast<unsigned char>(c) >= 0x20 && kForbidden.find(c) == std::string_view::npos;
}

bool IsDeviceFileName(std::string_view name) {
    // The device is named by what comes before the first dot, trailing blanks dropped.
    name = name.substr(0, name.find('.'));
    const auto end = name.find_last_not_of(' ');
    name = end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$") {
        return true;
    }
    // COM0 to COM9 and LPT0 to LPT9, also with a superscript 1, 2 or 3 (Windows-1252).
    constexpr std::string_view kPortDigits = "0123456789\xB9\xB2\xB3";
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           kPortDigits.find(upper[3]) != std::string_view::npos;
}

std::string DriveEntryForArgument(const std::string& argument) {
    const std::filesystem::path path(argument);
    if (argument.find_first_of("\\/") != std::string::npos && !path.is_absolute() &&
        !IsVolumeDevicePath(argument)) {
        return std::filesystem::absolute(path).lexically_normal().string();
    }
    return argument;
}

}  // namespace platform
