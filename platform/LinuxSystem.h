#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SimDrive.h"
#include "platform/System.h"

namespace platform {

// Entries of the drive list that stand for the built-in simulated drive.
inline constexpr const char* kSimEntry = "sim";                 // paced for watching
inline constexpr const char* kSimUnpacedEntry = "sim-unpaced";  // as fast as it goes
inline constexpr const char* kDrivesVariable = "DISCOMETER_DRIVES";

struct LinuxSystemOptions {
    std::string sysBlockDir = "/sys/block";
    std::string devDir = "/dev";
    // The drive entries given by the user (DISCOMETER_DRIVES), replacing the search for
    // optical drives when set.
    std::optional<std::string> drivesVariable;
};

// Reads the drive list variable from the environment.
LinuxSystemOptions OptionsFromEnvironment();

// Splits a comma-separated list of drive entries, dropping empty ones and surrounding blanks.
std::vector<std::string> SplitDriveEntries(const std::string& list);

// Turns a kernel release such as "6.1.0-28-amd64" into the version record.
VersionRecord VersionFromRelease(const std::string& release);

// The operating system as the program uses it on Linux.
class LinuxSystem final : public System {
  public:
    explicit LinuxSystem(LinuxSystemOptions options = OptionsFromEnvironment());

    std::unique_ptr<DeviceFile> OpenDevice(const std::string& driveEntry) override;
    std::uint32_t TickCount() override;
    VersionRecord QueryVersion() override;
    std::vector<std::string> CandidateDrives() override;
    DriveType DriveTypeOf(const std::string& driveEntry) override;
    std::shared_ptr<LoadedModule> LoadModule(const std::string& fileName) override;

    // The device path that an entry of the drive list names.
    std::string DevicePath(const std::string& driveEntry) const;
    // errno of the last failed open, 0 after a successful one.
    int LastOpenError() const { return lastOpenError_; }

  private:
    std::shared_ptr<SimDrive> SimFor(const std::string& driveEntry);

    LinuxSystemOptions options_;
    std::shared_ptr<SimDrive> pacedSim_;
    std::shared_ptr<SimDrive> unpacedSim_;
    // While a simulated drive is open, time is its time.
    std::shared_ptr<SimDrive> activeSim_;
    int lastOpenError_ = 0;
};

}  // namespace platform
