#include "cli/StartFailure.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

#include "platform/SectorBuffer.h"

namespace cli {

namespace {

constexpr std::int32_t kDescriptorSector = 16;

std::string ErrorText(int error) {
    return std::strerror(error);
}

std::string Number(double value) {
    return std::to_string(static_cast<long long>(std::trunc(value)));
}

// What can be learnt about the medium behind a path without the run's own reads.
struct Medium {
    std::optional<std::int64_t> sectors;  // whole sectors, when the size is known
    bool isoSignature = false;            // "CD001" in the descriptor at sector 16
};

Medium LookAt(const std::string& path) {
    Medium m;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return m;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        m.sectors = static_cast<std::int64_t>(st.st_size) / platform::kSectorBytes;
    } else if (std::uint64_t bytes = 0;
               S_ISBLK(st.st_mode) && ::ioctl(fd, BLKGETSIZE64, &bytes) == 0) {
        m.sectors = static_cast<std::int64_t>(bytes / platform::kSectorBytes);
    }
    char head[6] = {};
    const off_t at = static_cast<off_t>(kDescriptorSector) * platform::kSectorBytes;
    m.isoSignature = ::pread(fd, head, sizeof head, at) == static_cast<ssize_t>(sizeof head) &&
                     head[0] == 1 && std::memcmp(head + 1, "CD001", 5) == 0;
    ::close(fd);
    return m;
}

std::string NoDriveText(const std::string& drive, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        std::string text = "cannot find " + path + ": " + ErrorText(errno);
        // A bare name is a kernel name; an image of that name here wants a path.
        if (drive.find('/') == std::string::npos && ::stat(drive.c_str(), &st) == 0) {
            text += " \u2014 for the file in this folder, write ./" + drive;
        }
        return text;
    }
    if (S_ISDIR(st.st_mode)) {
        return path + " is a directory, not a drive or a disc image";
    }
    return path + " is not an optical drive or a disc image";
}

std::string OpenFailureText(const std::string& path, int error) {
    std::string text = "cannot open " + path + ": " + ErrorText(error);
    struct stat st {};
    const bool device = ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
    if ((error == EACCES || error == EPERM) && device) {
        const group* g = ::getgrgid(st.st_gid);
        const std::string name = g != nullptr ? g->gr_name : "cdrom";
        text += " \u2014 is the user in the '" + name + "' group?";
    } else if (error == ENOMEDIUM) {
        text += " \u2014 no disc in the drive";
    }
    return text;
}

}  // namespace

std::string DescribeStartFailure(const engine::RunState& s, const platform::LinuxSystem& system,
                                 const std::string& drive) {
    const std::string path = system.DevicePath(drive);
    if (s.NoDrive) {
        return NoDriveText(drive, path);
    }
    if (system.LastOpenError() != 0) {
        return OpenFailureText(path, system.LastOpenError());
    }

    const Medium medium = LookAt(path);
    const std::int64_t first = s.StartSector;
    const std::int64_t last = first + s.SectorCount - 1;
    if (first == kDescriptorSector && s.SectorCount == 1) {
        std::string text = "no disc or unreadable volume descriptor in " + path;
        if (medium.sectors && *medium.sectors <= kDescriptorSector) {
            text += ": it holds only " + std::to_string(*medium.sectors) + " sectors";
        }
        return text;
    }
    if (!medium.isoSignature) {
        return path + " holds no ISO 9660 data volume (no volume descriptor at sector 16)";
    }
    // Run start reads sectors 16 to 999 and then times the first DataSectors of block 1.
    const std::int64_t needed = 1000 + s.DataSectors;
    if (s.VolumeSize < static_cast<double>(needed)) {
        return "the volume is too small to measure: it holds " + Number(s.VolumeSize) +
               " sectors, a run needs at least " + std::to_string(needed);
    }
    std::string text = "cannot read sectors " + std::to_string(first) + " to " +
                       std::to_string(last) + " of " + path;
    if (medium.sectors && *medium.sectors <= last) {
        text += ": it ends after " + std::to_string(*medium.sectors) +
                " sectors, though its volume holds " + Number(s.VolumeSize);
    }
    return text;
}

}  // namespace cli
