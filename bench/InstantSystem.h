// A system whose one drive answers every read at once and whose clock says each timed read
// took about 200 ms, so that a tick costs only its own work and the curve moves around
// 8000 KB/s.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/SimDrive.h"
#include "platform/System.h"

namespace bench {

inline constexpr const char* kInstantDriveEntry = "bench";

class InstantSystem final : public platform::System {
  public:
    InstantSystem();

    std::unique_ptr<platform::DeviceFile> OpenDevice(const std::string& entry) override;
    // Readings 190 or 210 ms apart.
    std::uint32_t TickCount() override;
    platform::VersionRecord QueryVersion() override;
    std::vector<std::string> CandidateDrives() override { return {kInstantDriveEntry}; }
    platform::DriveType DriveTypeOf(const std::string& entry) override;
    std::shared_ptr<platform::LoadedModule> LoadModule(const std::string&) override {
        return nullptr;
    }

  private:
    platform::SimDrive disc_;
    std::uint32_t ticks_ = 0;
    std::uint32_t readings_ = 0;
};

}  // namespace bench
