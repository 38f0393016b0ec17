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

#include "platform/DriveSpeed.h"
#include "platform/SectorBuffer.h"
#include "platform/linux/ScsiCommand.h"

namespace platform {

namespace {

// The CD-ROM driver's multiple for a request: it sends SET CD SPEED of so many times 177 kB/s.
int CdromDriverMultiple(const ReadSpeedRequest& request) {
    constexpr std::uint32_t kDriverSingleSpeedKBs = 177;
    return static_cast<int>((mmc::RequestKBs(request) + kDriverSingleSpeedKBs / 2) /
                            kDriverSingleSpeedKBs);
}

// The speed commands through the SCSI pass-through.
class PassThroughSpeed final : public SpeedCommands {
  public:
    PassThroughSpeed(int fd, ScsiIoctl ioctl) : fd_(fd), ioctl_(ioctl) {}
    bool SetStreaming(std::uint32_t readKBs, std::uint32_t lastSector,
                      bool restoreDefaults) override {
        mmc::Command command = mmc::SetStreaming(readKBs, lastSector, restoreDefaults);
        return SendCommand(fd_, command, ioctl_).done;
    }
    bool SetCdSpeed(std::uint16_t readKBs) override {
        mmc::Command command = mmc::SetCdSpeed(readKBs);
        return SendCommand(fd_, command, ioctl_).done;
    }

  private:
    int fd_;
    ScsiIoctl ioctl_;
};

class RawDeviceFile final : public DeviceFile {
  public:
    RawDeviceFile(int fd, std::string path, bool direct, bool device, const RawDeviceCalls& calls)
        : fd_(fd), path_(std::move(path)), direct_(direct), device_(device), calls_(calls) {
        if (device_ && calls_.mediaChanged != nullptr) {
            // The driver keeps a change since anyone last asked: that one is not this run's.
            calls_.mediaChanged(fd_);
        }
    }
    ~RawDeviceFile() override {
        SetSpeedBack();  // as fast as it goes, for whoever comes next
        if (commandFd_ >= 0 && commandFd_ != fd_) {
            ::close(commandFd_);
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

    // SET STREAMING or SET CD SPEED through the SCSI pass-through, in the drive's units; the
    // kernel sends them only from a handle open for writing, which a user outside the drive's
    // group may not have. The CD-ROM driver's speed selection, which needs none, is the last
    // resort. A disc image has no speed to set.
    bool SelectReadSpeed(const ReadSpeedRequest& request) override {
        if (request.times < 0 || !device_) {
            return false;
        }
        SetSpeedBack();
        request_ = request;
        if (calls_.scsi != nullptr) {
            request_.streamsCd =
                request.medium == Medium::CD && Ask(mmc::GetStreamingFeature(), mmc::StreamsSpeeds);
            PassThroughSpeed commands(CommandFd(), calls_.scsi);
            taken_ = AskReadSpeed(commands, request_);
        }
        if (taken_ == SpeedCommand::None) {
            if (calls_.selectSpeed == nullptr ||
                calls_.selectSpeed(fd_, CdromDriverMultiple(request)) < 0) {
                return false;
            }
        }
        slowed_ = request.times > 0;
        return true;
    }

    // An image's length, the capacity the kernel knows of a block device, or what the drive
    // answers to READ CAPACITY (a SCSI device of another kind).
    std::optional<std::int64_t> MediumSectors() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            return std::nullopt;
        }
        std::uint64_t bytes = 0;
        if (S_ISREG(st.st_mode)) {
            bytes = static_cast<std::uint64_t>(st.st_size);
        } else if (!S_ISBLK(st.st_mode) || ::ioctl(fd_, BLKGETSIZE64, &bytes) != 0) {
            std::optional<std::int64_t> sectors;
            if (calls_.scsi != nullptr) {
                Ask(mmc::ReadCapacity(), [&sectors](std::span<const std::uint8_t> data) {
                    sectors = mmc::SectorsFromCapacity(data);
                    return sectors.has_value();
                });
            }
            return sectors;
        }
        return static_cast<std::int64_t>(bytes / kSectorBytes);
    }

    // The CD-ROM driver's status; for a device it does not drive, TEST UNIT READY's sense.
    DiscState CheckDisc() override {
        if (!device_) {
            return DiscState::Present;
        }
        const int status = calls_.driveStatus != nullptr ? calls_.driveStatus(fd_) : -1;
        if (status == CDS_NO_DISC || status == CDS_TRAY_OPEN) {
            return DiscState::Removed;
        }
        if (status == CDS_DISC_OK && calls_.mediaChanged != nullptr &&
            calls_.mediaChanged(fd_) > 0) {
            return DiscState::Changed;
        }
        if (status < 0 && calls_.scsi != nullptr) {
            mmc::Command ready = mmc::TestUnitReady();
            const mmc::Sense sense = SendCommand(fd_, ready, calls_.scsi).sense;
            if (mmc::NoMedium(sense)) {
                return DiscState::Removed;
            }
            if (mmc::MediumChanged(sense)) {
                return DiscState::Changed;
            }
        }
        return DiscState::Present;
    }

  private:
    // Sends a question on the reading handle (the kernel lets any handle ask); what `take`
    // makes of the answer, false when there is none.
    template <typename Take>
    bool Ask(mmc::Command command, Take take) {
        return SendCommand(fd_, command, calls_.scsi).done && take(command.data);
    }

    void SetSpeedBack() {
        if (slowed_ && taken_ != SpeedCommand::None) {
            PassThroughSpeed commands(CommandFd(), calls_.scsi);
            RestoreReadSpeed(commands, taken_, request_);
        } else if (slowed_) {
            calls_.selectSpeed(fd_, 0);
        }
        slowed_ = false;
        taken_ = SpeedCommand::None;
    }

    // A second handle for commands, open for writing without waiting for the disc where the
    // user may; the reading handle where not.
    int CommandFd() {
        if (commandFd_ < 0) {
            commandFd_ = calls_.open(path_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (commandFd_ < 0) {
                commandFd_ = fd_;
            }
        }
        return commandFd_;
    }

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
    std::string path_;
    bool direct_;
    bool device_;  // a drive, not a disc image
    RawDeviceCalls calls_;
    int commandFd_ = -1;
    ReadSpeedRequest request_;
    SpeedCommand taken_ = SpeedCommand::None;  // None: the CD-ROM driver's selection
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
        SystemScsiIoctl,
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
    return std::make_unique<RawDeviceFile>(fd, path, direct, device, calls);
}

}  // namespace platform
