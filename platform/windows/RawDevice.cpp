#include "platform/windows/RawDevice.h"

#include <windows.h>

#include <ntddcdrm.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <limits>

#include "platform/DriveSpeed.h"
#include "platform/MmcCommands.h"
#include "platform/SectorBuffer.h"
#include "platform/windows/CdromRequests.h"

namespace platform {

namespace {

// What Windows answers when a read or an open does not suit unbuffered access: an offset,
// size or buffer that is not a multiple of the volume's sector size.
bool RefusesUnbuffered() {
    return ::GetLastError() == ERROR_INVALID_PARAMETER;
}

// The class driver's SET STREAMING request, as Windows Vista and later take it; the compiler's
// headers know only SET CD SPEED's.
struct StreamingRequest {
    CDROM_SPEED_REQUEST RequestType;
    ULONG ReadSize;
    ULONG ReadTime;
    ULONG WriteSize;
    ULONG WriteTime;
    ULONG StartLba;
    ULONG EndLba;
    WRITE_ROTATION RotationControl;
    BOOLEAN RestoreDefaults;
    BOOLEAN SetExact;
    BOOLEAN RandomAccess;
    BOOLEAN Persistent;
};

// The speed commands as the CD-ROM class driver's speed requests.
class ClassDriverSpeed final : public SpeedCommands {
  public:
    ClassDriverSpeed(const RawDeviceCalls& calls, void* handle) : calls_(calls), handle_(handle) {}
    bool SetStreaming(std::uint32_t readKBs, std::uint32_t lastSector,
                      bool restoreDefaults) override {
        constexpr ULONG kOneSecondMs = 1000;
        StreamingRequest request{};
        request.RequestType = CdromSetStreaming;
        request.ReadSize = readKBs;
        request.ReadTime = kOneSecondMs;
        request.WriteSize = readKBs;
        request.WriteTime = kOneSecondMs;
        request.EndLba = lastSector;
        request.RotationControl = CdromDefaultRotation;
        request.RestoreDefaults = restoreDefaults ? TRUE : FALSE;
        return Send(&request, sizeof request);
    }
    bool SetCdSpeed(std::uint16_t readKBs) override {
        CDROM_SET_SPEED request{};
        request.RequestType = CdromSetSpeed;
        request.ReadSpeed = readKBs;
        request.WriteSpeed = mmc::kFastest;
        request.RotationControl = CdromDefaultRotation;
        return Send(&request, sizeof request);
    }

  private:
    bool Send(const void* request, std::uint32_t bytes) {
        std::uint32_t returned = 0;
        return calls_.control(handle_, IOCTL_CDROM_SET_SPEED, request, bytes, nullptr, 0,
                              &returned);
    }

    const RawDeviceCalls& calls_;
    void* handle_;
};

// The lock of a drive, named after its letter so that every process finds the same one.
std::string DriveLockName(const std::string& devicePath) {
    std::string name = "Global\\Discometer drive ";
    for (const char c : devicePath.substr(4)) {
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return name;
}

// A drive held for one run; nothing for a disc image, or where the system keeps no lock.
class DriveHold {
  public:
    DriveHold(void* lock, const RawDeviceCalls& calls) : lock_(lock), calls_(calls) {}
    ~DriveHold() {
        if (lock_ != nullptr && lock_ != INVALID_HANDLE_VALUE) {
            calls_.releaseDrive(lock_);
        }
    }
    DriveHold(const DriveHold&) = delete;
    DriveHold& operator=(const DriveHold&) = delete;

  private:
    void* lock_;
    const RawDeviceCalls& calls_;
};

class RawDeviceFile final : public DeviceFile {
  public:
    RawDeviceFile(void* handle, std::string path, bool unbuffered, void* lock,
                  const RawDeviceCalls& calls)
        : handle_(handle),
          path_(std::move(path)),
          unbuffered_(unbuffered),
          calls_(calls),
          hold_(lock, calls_) {
        // The class driver keeps a change until someone asks: one before this run is not its.
        CheckDisc();
    }
    ~RawDeviceFile() override {
        if (slowed_) {
            ClassDriverSpeed commands(calls_, handle_);  // as fast as it goes, for whoever is next
            RestoreReadSpeed(commands, taken_, request_);
        }
        calls_.close(handle_);
    }
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

    // A drive's speed, in the drive's units; a disc image has none to set.
    bool SelectReadSpeed(const ReadSpeedRequest& request) override {
        if (request.times < 0 || !IsVolumeDevicePath(path_) || calls_.control == nullptr) {
            return false;
        }
        ClassDriverSpeed commands(calls_, handle_);
        if (slowed_) {
            RestoreReadSpeed(commands, taken_, request_);
            slowed_ = false;
        }
        request_ = request;
        request_.streamsCd = request.medium == Medium::CD && StreamsSpeeds();
        taken_ = AskReadSpeed(commands, request_);
        slowed_ = taken_ != SpeedCommand::None && request.times > 0;
        return taken_ != SpeedCommand::None;
    }

    // A volume's length as its driver reports it, from the disk's length or the drive's
    // geometry; an image's length as a file.
    std::optional<std::int64_t> MediumSectors() override {
        std::int64_t bytes = 0;
        const bool known = IsVolumeDevicePath(path_)
                               ? VolumeBytes(bytes)
                               : calls_.fileBytes != nullptr && calls_.fileBytes(handle_, &bytes);
        if (!known || bytes < 0) {
            return std::nullopt;
        }
        return bytes / static_cast<std::int64_t>(kSectorBytes);
    }

    // The class driver's verify: it fails while the drive holds no disc, and once with
    // ERROR_MEDIA_CHANGED after another disc (or the same) was put in.
    DiscState CheckDisc() override {
        if (!IsVolumeDevicePath(path_) || calls_.control == nullptr) {
            return DiscState::Present;
        }
        std::uint32_t returned = 0;
        if (calls_.control(handle_, IOCTL_STORAGE_CHECK_VERIFY, nullptr, 0, nullptr, 0,
                           &returned)) {
            return DiscState::Present;
        }
        switch (::GetLastError()) {
            case ERROR_NOT_READY:
            case ERROR_NO_MEDIA_IN_DRIVE:
                return DiscState::Removed;
            case ERROR_MEDIA_CHANGED:
                return DiscState::Changed;
            default:
                return DiscState::Present;  // a drive that cannot say
        }
    }

  private:
    // Whether the drive's Real Time Streaming feature says it takes SET STREAMING.
    bool StreamsSpeeds() const {
        const ConfigurationQuery query{0x0107, kOneFeature, {nullptr, nullptr}};
        mmc::Command answer = mmc::GetStreamingFeature();
        std::uint32_t returned = 0;
        return calls_.control(handle_, kGetConfigurationIoctl, &query, sizeof query,
                              answer.data.data(), static_cast<std::uint32_t>(answer.data.size()),
                              &returned) &&
               mmc::StreamsSpeeds(std::span(answer.data)
                                      .first(std::min<std::size_t>(returned, answer.data.size())));
    }

    bool VolumeBytes(std::int64_t& bytes) const {
        if (calls_.control == nullptr) {
            return false;
        }
        std::uint32_t returned = 0;
        GET_LENGTH_INFORMATION length{};
        if (calls_.control(handle_, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length,
                           &returned) &&
            returned >= sizeof length) {
            bytes = length.Length.QuadPart;
            return true;
        }
        DISK_GEOMETRY_EX geometry{};
        if (calls_.control(handle_, IOCTL_CDROM_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                           sizeof geometry, &returned) &&
            returned >= offsetof(DISK_GEOMETRY_EX, Data)) {
            bytes = geometry.DiskSize.QuadPart;
            return true;
        }
        return false;
    }

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
    DriveHold hold_;  // after calls_, which it uses
    ReadSpeedRequest request_;
    SpeedCommand taken_ = SpeedCommand::None;
    bool slowed_ = false;
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
        [](void* handle, std::uint32_t code, const void* in, std::uint32_t inBytes, void* out,
           std::uint32_t outBytes, std::uint32_t* bytesReturned) {
            DWORD got = 0;
            const bool ok = ::DeviceIoControl(handle, code, const_cast<void*>(in), inBytes, out,
                                              outBytes, &got, nullptr) != FALSE;
            *bytesReturned = got;
            return ok;
        },
        [](const char* path) -> void* {
            return ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        },
        [](void* handle, std::int64_t* bytes) {
            LARGE_INTEGER size{};
            const bool ok = ::GetFileSizeEx(handle, &size) != FALSE;
            *bytes = size.QuadPart;
            return ok;
        },
        // A semaphore of one, not a mutex: it is nobody's twice, not even the thread's that
        // holds it, and it goes with the last handle when a process ends, however it ends.
        [](const char* lockName) -> void* {
            const HANDLE lock = ::CreateSemaphoreA(nullptr, 1, 1, lockName);
            if (lock == nullptr) {
                // Only another user's run keeps us out of a lock that exists.
                return ::GetLastError() == ERROR_ACCESS_DENIED ? nullptr : INVALID_HANDLE_VALUE;
            }
            if (::WaitForSingleObject(lock, 0) != WAIT_OBJECT_0) {
                ::CloseHandle(lock);
                return nullptr;
            }
            return lock;
        },
        [](void* lock) {
            ::ReleaseSemaphore(lock, 1, nullptr);
            ::CloseHandle(lock);
        },
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
    void* lock = nullptr;
    if (IsVolumeDevicePath(path) && calls.takeDrive != nullptr) {
        lock = calls.takeDrive(DriveLockName(path).c_str());
        if (lock == nullptr) {
            calls.close(handle);
            ::SetLastError(ERROR_DRIVE_LOCKED);
            return nullptr;
        }
    }
    return std::make_unique<RawDeviceFile>(handle, path, unbuffered, lock, calls);
}

}  // namespace platform
