#pragma once

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SimDrive.h"
#include "platform/System.h"

namespace platform {

// A drive-list entry that stands for a built-in simulated drive, the disc in it and how the
// drive names itself.
struct SimulatedEntry {
    std::string_view name;
    SimDiscParams (*disc)();
    std::string_view model;
};

// The vendor and firmware revision every simulated drive gives.
inline constexpr std::string_view kSimulatedVendor = "Discometer";
inline constexpr std::string_view kSimulatedRevision = "SIM1";

// The simulated drives every build offers, whatever the system.
std::span<const SimulatedEntry> SimulatedEntries();
bool IsSimulatedEntry(std::string_view entry);

// The running system as the program sees it: the native system, with the drive list the
// user gave in place of the native search, and the simulated drives answering for their
// entries. The user's own entries count as drives when they are disk devices of any kind,
// not only optical ones. While a simulated drive is open, time is its time.
class SimRoutingSystem final : public System {
  public:
    // `driveEntries`: the entries replacing the native drive search, or nothing.
    SimRoutingSystem(std::unique_ptr<System> native,
                     std::optional<std::vector<std::string>> driveEntries);

    std::unique_ptr<DeviceFile> OpenDevice(const std::string& driveEntry) override;
    std::uint32_t TickCount() override;
    std::uint64_t MicroTicks() override;
    VersionRecord QueryVersion() override { return native_->QueryVersion(); }
    std::vector<std::string> CandidateDrives() override;
    std::optional<std::vector<std::string>> NamedDrives() const override { return driveEntries_; }
    DriveType DriveTypeOf(const std::string& driveEntry) override;
    std::shared_ptr<LoadedModule> LoadModule(const std::string& fileName) override {
        return native_->LoadModule(fileName);
    }
    std::string DevicePath(const std::string& driveEntry) const override;
    std::error_code LastOpenError() const override;
    DriveIdentity IdentityOf(const std::string& driveEntry) override;

    System& Native() { return *native_; }

  private:
    std::unique_ptr<System> native_;
    std::optional<std::vector<std::string>> driveEntries_;
    // One drive per entry, made when it is first opened, so a disc keeps its clock.
    std::map<std::string, std::shared_ptr<SimDrive>, std::less<>> sims_;
    std::shared_ptr<SimDrive> activeSim_;
    bool lastOpenWasSim_ = false;
    std::error_code simOpenError_;
};

}  // namespace platform
