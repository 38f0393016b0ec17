// A system with one simulated drive that sleeps out its reads, and the real millisecond
// clock the program reads on Linux: what the run measures is then real time, as on a drive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/SimDrive.h"
#include "platform/System.h"

namespace bench {

inline constexpr const char* kPacedDriveEntry = "paced";

class RealTimeSystem final : public platform::System {
  public:
    explicit RealTimeSystem(std::shared_ptr<platform::SimDrive> drive);

    std::unique_ptr<platform::DeviceFile> OpenDevice(const std::string& entry) override;
    // CLOCK_MONOTONIC in whole milliseconds, wrapping at 32 bits.
    std::uint32_t TickCount() override;
    platform::VersionRecord QueryVersion() override;
    std::vector<std::string> CandidateDrives() override { return {kPacedDriveEntry}; }
    platform::DriveType DriveTypeOf(const std::string& entry) override;
    std::shared_ptr<platform::LoadedModule> LoadModule(const std::string&) override {
        return nullptr;
    }

  private:
    std::shared_ptr<platform::SimDrive> drive_;
};

}  // namespace bench
