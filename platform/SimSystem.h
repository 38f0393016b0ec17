#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/SimDrive.h"
#include "platform/System.h"

namespace platform {

// A system whose only drives are simulated ones and whose clock is theirs. Tests and
// scripts use it to run the whole program without hardware.
class SimSystem : public System {
  public:
    // One drive, listed under the given entry.
    explicit SimSystem(std::shared_ptr<SimDrive> drive, std::string entry = "sim");

    std::unique_ptr<DeviceFile> OpenDevice(const std::string& driveEntry) override;
    std::uint32_t TickCount() override;
    std::uint64_t MicroTicks() override;
    VersionRecord QueryVersion() override { return version; }
    std::vector<std::string> CandidateDrives() override { return candidates; }
    DriveType DriveTypeOf(const std::string& driveEntry) override;
    std::shared_ptr<LoadedModule> LoadModule(const std::string& fileName) override;
    std::error_code LastOpenError() const override { return lastOpenError_; }

    std::shared_ptr<SimDrive> Drive() { return drive_; }

    // What the queries answer; tests change them as they need.
    VersionRecord version{6, 1, (6u << 24) | (1u << 16) | 28u, kPlatformLinux, "6.1.0-28-amd64"};
    std::vector<std::string> candidates;
    std::map<std::string, std::shared_ptr<LoadedModule>> modules;
    bool openFails = false;
    int openCount = 0;

  private:
    std::shared_ptr<SimDrive> drive_;
    std::string entry_;
    std::error_code lastOpenError_;
};

}  // namespace platform
