#include "platform/windows/RawDevice.h"

#include <windows.h>

#include <limits>

namespace platform {

namespace {

// What Windows answers when a read or an open does not suit unbuffered access: an offset,
// size or buffer that is not a multiple of the volume's sector size.
bool RefusesUnbuffered() {
    return ::GetLastError() == ERROR_INVALID_PARAMETER;
}

class RawDeviceFile final : public DeviceFile {
  public:
    RawDeviceFile(void* handle, std::string path, bool unbuffered, const RawDeviceCalls& calls)
        : handle_(handle), path_(std::move(path)), unbuffered_(unbuffered), calls_(calls) {}
    ~RawDeviceFile() override { calls_.close(handle_); }
    RawDeviceFile(const RawDeviceFile&) = delete;
    RawDeviceFile& operator=(const RawDeviceFile&) = delete;

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        constexpr auto kMaxOffset =
            static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        if (dst.size() > std::numeric_limits<std::uint32_t>::max() ||
            byteOffset > kMaxOffset - dst.size()) {
            return false;
        }
        const auto bytes = static_cast<std::uint32_t>(dst.size());
        for (;;) {
            std::uint32_t got = 0;
            if (calls_.seek(handle_, static_cast<std::int64_t>(byteOffset)) &&
                calls_.read(handle_, dst.data(), bytes, &got)) {
                return got == bytes;  // a short read, at the end of the medium, is a failure
            }
            if (!(unbuffered_ && RefusesUnbuffered() && FallBackToBuffered())) {
                return false;
            }
        }
    }

  private:
    // Reopens an image for buffered reading; a device stays as it is.
    bool FallBackToBuffered() {
        if (IsVolumeDevicePath(path_)) {
            return false;
        }
        void* buffered = calls_.open(path_.c_str(), 0);
        if (buffered == INVALID_HANDLE_VALUE) {
            return false;
        }
        calls_.close(handle_);
        handle_ = buffered;
        unbuffered_ = false;
        return true;
    }

    void* handle_;
    std::string path_;
    bool unbuffered_;
    RawDeviceCalls calls_;
};

}  // namespace

bool IsVolumeDevicePath(const std::string& path) {
    return path.rfind("\\\\.\\", 0) == 0;
}

const RawDeviceCalls& SystemRawDeviceCalls() {
    static const RawDeviceCalls calls{
        [](const char* path, std::uint32_t flags) -> void* {
            return ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags,
                                 nullptr);
        },
        [](void* handle, std::int64_t offset) {
            LARGE_INTEGER distance;
            distance.QuadPart = offset;
            return ::SetFilePointerEx(handle, distance, nullptr, FILE_BEGIN) != FALSE;
        },
        [](void* handle, void* buffer, std::uint32_t bytes, std::uint32_t* bytesRead) {
            DWORD got = 0;
            const bool ok = ::ReadFile(handle, buffer, bytes, &got, nullptr) != FALSE;
            *bytesRead = got;
            return ok;
        },
        [](void* handle) { ::CloseHandle(handle); },
    };
    return calls;
}

std::unique_ptr<DeviceFile> OpenRawDevice(const std::string& path, const RawDeviceCalls& calls) {
    void* handle = calls.open(path.c_str(), FILE_FLAG_NO_BUFFERING);
    bool unbuffered = true;
    if (handle == INVALID_HANDLE_VALUE && RefusesUnbuffered() && !IsVolumeDevicePath(path)) {
        handle = calls.open(path.c_str(), 0);
        unbuffered = false;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<RawDeviceFile>(handle, path, unbuffered, calls);
}

}  // namespace platform
