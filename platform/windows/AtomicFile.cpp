#include "platform/AtomicFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/Files.h"
#include "platform/windows/RawDevice.h"

namespace platform {

namespace {

constexpr int kTemporaryNameTries = 100;

bool WriteAll(HANDLE h, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

// A device (NUL, COM1, \\.\...) cannot be replaced by a file: it is written as it is.
bool NamesDevice(const std::string& path) {
    return IsVolumeDevicePath(path) ||
           IsDeviceFileName(std::filesystem::path(path).filename().string());
}

bool WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes) {
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = WriteAll(h, bytes);
    return ::CloseHandle(h) && ok;
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

}  // namespace

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty() || path.back() == '/' || path.back() == '\\') {
        return false;
    }
    if (NamesDevice(path)) {
        return WriteInPlace(path, bytes);
    }
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;  // a folder is never replaced by a file
    }
    std::string temp;
    const HANDLE h = CreateTemporary(path, temp);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = WriteAll(h, bytes) && ::FlushFileBuffers(h);
    ok = ::CloseHandle(h) && ok;
    // Replaces the target in one step, and only once the new bytes are on the disk.
    ok = ok && ::MoveFileExA(temp.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileA(temp.c_str());
    }
    return ok;
}

}  // namespace platform
