#include "platform/linux/RawDevice.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/SectorBuffer.h"

namespace platform {

namespace {

class RawDeviceFile final : public DeviceFile {
  public:
    RawDeviceFile(int fd, bool direct, bool device, const RawDeviceCalls& calls)
        : fd_(fd), direct_(direct), device_(device), calls_(calls) {
        if (device_ && calls_.mediaChanged != nullptr) {
            // The driver keeps a change since anyone last asked: that one is not this run's.
            calls_.mediaChanged(fd_);
        }
    }
    ~RawDeviceFile() override {
        if (slowed_) {
            calls_.selectSpeed(fd_, 0);  // as fast as it goes, for whoever comes next
        }
        ::close(fd_);
    }
    RawDeviceFile(const RawDeviceFile&) = delete;
    RawDeviceFile& operator=(const RawDeviceFile&) = delete;

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        if (byteOffset > static_cast<std::uint64_t>(INT64_MAX) - dst.size()) {
            return false;
        }
        if (!direct_) {
            DropCachedPages(byteOffset, dst.size());
        }
        std::size_t done = 0;
        while (done < dst.size()) {
            const ssize_t n = calls_.pread(fd_, dst.data() + done, dst.size() - done,
                                           static_cast<off_t>(byteOffset + done));
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EINVAL && direct_ && done == 0 && FallBackToBuffered()) {
                // The file system wants larger alignment than a sector: read buffered.
                DropCachedPages(byteOffset, dst.size());
                continue;
            }
            return false;  // end of the medium, EIO, ENODATA, ENOMEDIUM, ...
        }
        return true;
    }

    // The CD-ROM driver's speed selection, in multiples of 150 KB/s; a disc image or a device
    // of another kind does not know it.
    bool SelectReadSpeed(std::int32_t timesCdSpeed) override {
        if (timesCdSpeed < 0 || calls_.selectSpeed == nullptr ||
            calls_.selectSpeed(fd_, timesCdSpeed) < 0) {
            return false;
        }
        slowed_ = timesCdSpeed > 0;
        return true;
    }

    // An image's length, or the capacity the kernel knows of a block device.
    std::optional<std::int64_t> MediumSectors() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            return std::nullopt;
        }
        std::uint64_t bytes = 0;
        if (S_ISREG(st.st_mode)) {
            bytes = static_cast<std::uint64_t>(st.st_size);
        } else if (!S_ISBLK(st.st_mode) || ::ioctl(fd_, BLKGETSIZE64, &bytes) != 0) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(bytes / kSectorBytes);
    }

    DiscState CheckDisc() override {
        if (!device_ || calls_.driveStatus == nullptr) {
            return DiscState::Present;
        }
        const int status = calls_.driveStatus(fd_);
        if (status == CDS_NO_DISC || status == CDS_TRAY_OPEN) {
            return DiscState::Removed;
        }
        if (status == CDS_DISC_OK && calls_.mediaChanged != nullptr &&
            calls_.mediaChanged(fd_) > 0) {
            return DiscState::Changed;
        }
        return DiscState::Present;
    }

  private:
    bool FallBackToBuffered() {
        const int flags = calls_.fcntl(fd_, F_GETFL, 0);
        if (flags < 0 || calls_.fcntl(fd_, F_SETFL, flags & ~O_DIRECT) < 0) {
            return false;
        }
        direct_ = false;
        return true;
    }

    void DropCachedPages(std::uint64_t offset, std::size_t length) const {
        ::posix_fadvise(fd_, static_cast<off_t>(offset), static_cast<off_t>(length),
                        POSIX_FADV_DONTNEED);
    }

    int fd_;
    bool direct_;
    bool device_;  // a drive, not a disc image
    RawDeviceCalls calls_;
    bool slowed_ = false;
};

// Keeps a second run of this program off a drive while one measures it: an advisory lock on
// the device, which the kernel lets go of with the last descriptor, so also when a process
// dies. Other programs may still read the drive. A disc image is a file any number of runs
// may read at once. False only when another run holds the drive.
bool TakeDrive(int fd) {
    // A system that keeps no such locks leaves the drive unguarded rather than unusable.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

// A drive or other device, as opposed to a disc image.
bool IsDevice(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace

const RawDeviceCalls& SystemRawDeviceCalls() {
    static const RawDeviceCalls calls{
        [](const char* path, int flags) { return ::open(path, flags); },
        ::pread,
        [](int fd, int command, int argument) { return ::fcntl(fd, command, argument); },
        [](int fd, int timesCdSpeed) { return ::ioctl(fd, CDROM_SELECT_SPEED, timesCdSpeed); },
        [](int fd) { return ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT); },
        [](int fd) { return ::ioctl(fd, CDROM_MEDIA_CHANGED, CDSL_CURRENT); },
    };
    return calls;
}

std::unique_ptr<DeviceFile> OpenRawDevice(const std::string& path, const RawDeviceCalls& calls) {
    int fd = calls.open(path.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
    bool direct = true;
    if (fd < 0 && errno == EINVAL) {
        fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC);
        direct = false;
    }
    if (fd < 0) {
        return nullptr;
    }
    const bool device = IsDevice(fd);
    if (device && !TakeDrive(fd)) {
        ::close(fd);
        errno = EWOULDBLOCK;
        return nullptr;
    }
    return std::make_unique<RawDeviceFile>(fd, direct, device, calls);
}

}  // namespace platform
