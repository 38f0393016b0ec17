#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/System.h"

namespace platform {

// The system calls a raw device makes, so that tests can play a file system that refuses
// unbuffered reads, as one on a disk of 4096-byte sectors does for a 2048-byte read, and a
// drive that answers or refuses the questions put to it. Each failure leaves its reason in
// GetLastError. Handles are HANDLEs.
struct RawDeviceCalls {
    // CreateFileA for reading, shared with other readers, with the given flags; the invalid
    // handle value on failure.
    void* (*open)(const char* path, std::uint32_t flags);
    // SetFilePointerEx to the byte offset from the start, all 64 bits of it.
    bool (*seek)(void* handle, std::int64_t offset);
    // ReadFile; the count of bytes that arrived.
    bool (*read)(void* handle, void* buffer, std::uint32_t bytes, std::uint32_t* bytesRead);
    void (*close)(void* handle);
    // DeviceIoControl with a buffer in and one out; the count of bytes that came back. None
    // for a device that answers nothing.
    bool (*control)(void* handle, std::uint32_t code, const void* in, std::uint32_t inBytes,
                    void* out, std::uint32_t outBytes, std::uint32_t* bytesReturned) = nullptr;
    // CreateFileA without the right to read, which is enough to ask a drive about itself and
    // needs no administrator; the invalid handle value on failure.
    void* (*openToAsk)(const char* path) = nullptr;
    // GetFileSizeEx: the length of a file in bytes. None where no file has a length.
    bool (*fileBytes)(void* handle, std::int64_t* bytes) = nullptr;
    // Takes the named lock that keeps a second run of this program off a drive: its handle;
    // null when another run holds it; the invalid handle value when the system keeps no such
    // lock, so the drive is read unguarded. None: no drive is guarded.
    void* (*takeDrive)(const char* lockName) = nullptr;
    void (*releaseDrive)(void* lock) = nullptr;
};

// Whether the path names a raw volume device (\\.\D:) rather than a file.
bool IsVolumeDevicePath(const std::string& path);

// The system's calls.
const RawDeviceCalls& SystemRawDeviceCalls();

// Opens a raw volume device (\\.\D:) or a disc image read-only, without system buffering,
// shared with other readers. An image whose file system refuses unbuffered reads (at the open
// or at a read) is read buffered instead; a device never is, so its figures are never cache
// speed. Only a device is told a read speed (the CD-ROM class driver's speed request), and
// only a device is held for this run alone until it is closed.
// Null on failure, with GetLastError set: ERROR_DRIVE_LOCKED when another run holds the drive.
std::unique_ptr<DeviceFile> OpenRawDevice(const std::string& path,
                                          const RawDeviceCalls& calls = SystemRawDeviceCalls());

}  // namespace platform
