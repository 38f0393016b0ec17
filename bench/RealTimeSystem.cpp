#include "bench/RealTimeSystem.h"

#include <time.h>

namespace bench {

RealTimeSystem::RealTimeSystem(std::shared_ptr<platform::SimDrive> drive)
    : drive_(std::move(drive)) {}

std::unique_ptr<platform::DeviceFile> RealTimeSystem::OpenDevice(const std::string& entry) {
    return entry == kPacedDriveEntry ? drive_->Open(drive_) : nullptr;
}

std::uint32_t RealTimeSystem::TickCount() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

platform::VersionRecord RealTimeSystem::QueryVersion() {
    return {6, 1, (6u << 24) | (1u << 16) | 28u, platform::kPlatformLinux, "6.1.0-28-amd64"};
}

platform::DriveType RealTimeSystem::DriveTypeOf(const std::string& entry) {
    return entry == kPacedDriveEntry ? platform::DriveType::CdRom : platform::DriveType::NoRootDir;
}

}  // namespace bench
