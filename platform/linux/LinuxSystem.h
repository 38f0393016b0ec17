#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/System.h"

namespace platform {

struct LinuxSystemOptions {
    std::string sysBlockDir = "/sys/block";
    std::string devDir = "/dev";
    // The SCSI pass-through the drives are asked about themselves through (SG_IO).
    int (*scsi)(int fd, void* sgIoHeader) = nullptr;  // none: the kernel's
};

// Turns a kernel release such as "6.1.0-28-amd64" into the version record.
VersionRecord VersionFromRelease(const std::string& release);

// The operating system as the program uses it on Linux: the kernel's optical drives (sr0,
// sr1, ...), devices and disc images named by their path, the monotonic clock, uname and
// dlopen.
class LinuxSystem final : public System {
  public:
    explicit LinuxSystem(LinuxSystemOptions options = {});

    std::unique_ptr<DeviceFile> OpenDevice(const std::string& driveEntry) override;
    std::uint32_t TickCount() override;
    std::uint64_t MicroTicks() override;
    VersionRecord QueryVersion() override;
    std::vector<std::string> CandidateDrives() override;
    DriveType DriveTypeOf(const std::string& driveEntry) override;
    std::shared_ptr<LoadedModule> LoadModule(const std::string& fileName) override;
    // A kernel name (sr0) is a device of the device folder; a path is itself.
    std::string DevicePath(const std::string& driveEntry) const override;
    std::error_code LastOpenError() const override { return lastOpenError_; }
    // What the drive answers to INQUIRY, or the kernel's copy of it in sysfs (vendor, model,
    // rev), and the loaded medium, from GET CONFIGURATION's current profile.
    DriveIdentity IdentityOf(const std::string& driveEntry) override;

  private:
    // The sysfs folder of the device behind an entry, or nothing for a disc image.
    std::optional<std::string> SysfsDeviceDir(const std::string& driveEntry) const;

    LinuxSystemOptions options_;
    std::error_code lastOpenError_;
};

}  // namespace platform
