#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

#include "platform/System.h"

namespace platform {

// The system calls a raw device makes, so that tests can play a file system that refuses
// unbuffered access: at the open (tmpfs before Linux 6.6) or at a read (ext4, for a buffer
// that is not aligned to its blocks), and a drive told its speed.
struct RawDeviceCalls {
    int (*open)(const char* path, int flags);
    ssize_t (*pread)(int fd, void* buffer, std::size_t count, off_t offset);
    int (*fcntl)(int fd, int command, int argument);
    // The CD-ROM driver's speed selection in its multiples of 177 kB/s (0: the drive's
    // maximum); none for a device that cannot be told its speed.
    int (*selectSpeed)(int fd, int timesCdSpeed) = nullptr;
    // The CD-ROM driver's drive status (CDS_NO_DISC, CDS_TRAY_OPEN, CDS_DISC_OK, ...) and
    // whether the disc changed since it was last asked; none, or a negative answer, for a
    // device that cannot say.
    int (*driveStatus)(int fd) = nullptr;
    int (*mediaChanged)(int fd) = nullptr;
    // The SCSI pass-through (SG_IO) with an sg_io_hdr; none for a device without one.
    int (*scsi)(int fd, void* sgIoHeader) = nullptr;
};

// The kernel's calls.
const RawDeviceCalls& SystemRawDeviceCalls();

// Opens a device or a disc image read-only for unbuffered reading, shared with other
// readers. Where unbuffered access is refused, at the open or at a read, reads go through
// the page cache but drop the pages first, so the figures are never cache speed. A device
// (not an image) is held for this run alone until it is closed.
// Null on failure, with errno set: EWOULDBLOCK when another run holds the device.
std::unique_ptr<DeviceFile> OpenRawDevice(const std::string& path,
                                          const RawDeviceCalls& calls = SystemRawDeviceCalls());

}  // namespace platform
