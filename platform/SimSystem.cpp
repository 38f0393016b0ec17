#include "platform/SimSystem.h"

namespace platform {

SimSystem::SimSystem(std::shared_ptr<SimDrive> drive, std::string entry)
    : candidates{entry}, drive_(std::move(drive)), entry_(std::move(entry)) {}

std::unique_ptr<DeviceFile> SimSystem::OpenDevice(const std::string& driveEntry) {
    ++openCount;
    lastOpenError_ = {};
    if (openFails || driveEntry != entry_) {
        return nullptr;
    }
    if (drive_->Held()) {
        lastOpenError_ = MakeError(DriveProblem::Busy);
        return nullptr;
    }
    return drive_->Open(drive_);
}

std::uint32_t SimSystem::TickCount() {
    return drive_->Clock().TickCount();
}

std::uint64_t SimSystem::MicroTicks() {
    return drive_->Clock().MicroTicks();
}

DriveType SimSystem::DriveTypeOf(const std::string& driveEntry) {
    return driveEntry == entry_ ? DriveType::CdRom : DriveType::NoRootDir;
}

std::shared_ptr<LoadedModule> SimSystem::LoadModule(const std::string& fileName) {
    const auto it = modules.find(fileName);
    return it == modules.end() ? nullptr : it->second;
}

}  // namespace platform
