#include "platform/linux/RawDevice.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

class RawDeviceFile final : public DeviceFile {
  public:
    RawDeviceFile(int fd, bool direct, const RawDeviceCalls& calls)
        : fd_(fd), direct_(direct), calls_(calls) {}
    ~RawDeviceFile() override { ::close(fd_); }
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
    RawDeviceCalls calls_;
};

}  // namespace

const RawDeviceCalls& SystemRawDeviceCalls() {
    static const RawDeviceCalls calls{
        [](const char* path, int flags) { return ::open(path, flags); },
        ::pread,
        [](int fd, int command, int argument) { return ::fcntl(fd, command, argument); },
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
    return std::make_unique<RawDeviceFile>(fd, direct, calls);
}

}  // namespace platform
