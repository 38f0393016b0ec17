// A system with one simulated drive that sleeps out its reads, and the real millisecond
// clock the program reads on Linux: what the run measures is then real time, as on a drive.
// Each read's real duration is kept, to tell the clock's part in a speed from the read's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/SimDrive.h"
#include "platform/System.h"

namespace bench {

inline constexpr const char* kPacedDriveEntry = "paced";

// One read as the clock on the wall saw it.
struct RealRead {
    std::int64_t firstSector = 0;
    double ms = 0.0;
};

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

    // Every read through a device of this system, in order.
    const std::vector<RealRead>& RealReads() const { return *reads_; }

  private:
    std::shared_ptr<platform::SimDrive> drive_;
    std::shared_ptr<std::vector<RealRead>> reads_;
};

}  // namespace bench
