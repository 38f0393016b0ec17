#include "platform/SimRouting.h"

#include <algorithm>
#include <array>

#include "platform/DriveEntries.h"

namespace platform {

namespace {

template <SimDiscParams (*Disc)(bool), bool Paced>
SimDiscParams Demo() {
    return Disc(Paced);
}

constexpr std::string_view kCdModel = "Simulated CD-ROM 52x";
constexpr std::string_view kDvdModel = "Simulated DVD-ROM 16x";
constexpr std::string_view kBluRayModel = "Simulated BD-ROM 12x";

// Each drive paced for watching, and as fast as it goes.
constexpr std::array kSimulatedEntries{
    SimulatedEntry{"sim", &Demo<DemoDisc, true>, kCdModel},
    SimulatedEntry{"sim-unpaced", &Demo<DemoDisc, false>, kCdModel},
    SimulatedEntry{"sim-aged", &Demo<DemoAgedDisc, true>, kCdModel},
    SimulatedEntry{"sim-aged-unpaced", &Demo<DemoAgedDisc, false>, kCdModel},
    SimulatedEntry{"sim-dvd", &Demo<DemoDvd, true>, kDvdModel},
    SimulatedEntry{"sim-dvd-unpaced", &Demo<DemoDvd, false>, kDvdModel},
    SimulatedEntry{"sim-bd", &Demo<DemoBluRay, true>, kBluRayModel},
    SimulatedEntry{"sim-bd-unpaced", &Demo<DemoBluRay, false>, kBluRayModel},
    SimulatedEntry{"sim-bd-udf", &Demo<DemoBluRayUdf, true>, kBluRayModel},
    SimulatedEntry{"sim-bd-udf-unpaced", &Demo<DemoBluRayUdf, false>, kBluRayModel},
};

const SimulatedEntry* FindSimulated(std::string_view entry) {
    const auto it = std::find_if(kSimulatedEntries.begin(), kSimulatedEntries.end(),
                                 [&](const SimulatedEntry& e) { return e.name == entry; });
    return it == kSimulatedEntries.end() ? nullptr : &*it;
}

}  // namespace

std::span<const SimulatedEntry> SimulatedEntries() {
    return kSimulatedEntries;
}

bool IsSimulatedEntry(std::string_view entry) {
    return FindSimulated(entry) != nullptr;
}

SimRoutingSystem::SimRoutingSystem(std::unique_ptr<System> native,
                                   std::optional<std::vector<std::string>> driveEntries)
    : native_(std::move(native)), driveEntries_(std::move(driveEntries)) {}

std::unique_ptr<DeviceFile> SimRoutingSystem::OpenDevice(const std::string& driveEntry) {
    if (const SimulatedEntry* simulated = FindSimulated(driveEntry)) {
        auto& sim = sims_[driveEntry];
        if (!sim) {
            sim = std::make_shared<SimDrive>(simulated->disc());
        }
        activeSim_ = sim;
        lastOpenWasSim_ = true;
        auto device = sim->Open(sim);
        simOpenError_ = device ? std::error_code() : MakeError(DriveProblem::Busy);
        return device;
    }
    activeSim_.reset();
    lastOpenWasSim_ = false;
    return native_->OpenDevice(driveEntry);
}

std::uint32_t SimRoutingSystem::TickCount() {
    return activeSim_ ? activeSim_->Clock().TickCount() : native_->TickCount();
}

std::uint64_t SimRoutingSystem::MicroTicks() {
    return activeSim_ ? activeSim_->Clock().MicroTicks() : native_->MicroTicks();
}

std::vector<std::string> SimRoutingSystem::CandidateDrives() {
    if (driveEntries_) {
        return *driveEntries_;
    }
    return native_->CandidateDrives();
}

DriveType SimRoutingSystem::DriveTypeOf(const std::string& driveEntry) {
    if (IsSimulatedEntry(driveEntry)) {
        return DriveType::CdRom;
    }
    const DriveType type = native_->DriveTypeOf(driveEntry);
    // A disk device that the user names (a loop device holding an image, a stick written
    // with one, a drive the system does not know as optical) is the user's choice of drive;
    // only the search finds optical drives alone.
    if (driveEntries_ && (type == DriveType::Fixed || type == DriveType::Removable)) {
        return DriveType::CdRom;
    }
    return type;
}

std::string SimRoutingSystem::DevicePath(const std::string& driveEntry) const {
    return IsSimulatedEntry(driveEntry) ? driveEntry : native_->DevicePath(driveEntry);
}

DriveIdentity SimRoutingSystem::IdentityOf(const std::string& driveEntry) {
    if (const SimulatedEntry* simulated = FindSimulated(driveEntry)) {
        const SimDiscParams disc = simulated->disc();
        DriveIdentity identity{std::string(kSimulatedVendor), std::string(simulated->model),
                               std::string(kSimulatedRevision), SimMediumName(disc)};
        identity.fastestKBs = SimFastestKBs(disc);
        return identity;
    }
    return native_->IdentityOf(driveEntry);
}

std::error_code SimRoutingSystem::LastOpenError() const {
    return lastOpenWasSim_ ? simOpenError_ : native_->LastOpenError();
}

}  // namespace platform
