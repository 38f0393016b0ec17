#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/System.h"

namespace platform {

// Whether a drive-list entry is a drive letter and its colon ("D:").
bool IsDriveLetterEntry(const std::string& driveEntry);

// The operating system as the program uses it on Windows: the drive letters A: to Z:, each
// read through its raw volume device (\\.\D:), disc images named by their path,
// GetTickCount, GetVersionExA and LoadLibraryA.
class WindowsSystem final : public System {
  public:
    WindowsSystem();

    std::unique_ptr<DeviceFile> OpenDevice(const std::string& driveEntry) override;
    std::uint32_t TickCount() override;
    std::uint64_t MicroTicks() override;
    VersionRecord QueryVersion() override;
    // The letters A: to Z:, in that order; the drive-type query picks the optical ones.
    std::vector<std::string> CandidateDrives() override;
    DriveType DriveTypeOf(const std::string& driveEntry) override;
    std::shared_ptr<LoadedModule> LoadModule(const std::string& fileName) override;
    // A drive letter is its raw volume device (\\.\D:); a path is itself.
    std::string DevicePath(const std::string& driveEntry) const override;
    std::error_code LastOpenError() const override { return lastOpenError_; }
    // A drive letter's storage device descriptor (vendor, product, revision); a disc image
    // has none.
    DriveIdentity IdentityOf(const std::string& driveEntry) override;

  private:
    std::error_code lastOpenError_;
};

}  // namespace platform
