#include "bench/RealTimeSystem.h"

#include <time.h>

#include "bench/BenchClock.h"
#include "platform/SectorBuffer.h"

namespace bench {

namespace {

// The drive's device, timing each read on the monotonic clock.
class TimedDevice final : public platform::DeviceFile {
  public:
    TimedDevice(std::unique_ptr<platform::DeviceFile> inner,
                std::shared_ptr<std::vector<RealRead>> reads)
        : inner_(std::move(inner)), reads_(std::move(reads)) {}

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        const std::int64_t t0 = MonotonicNs();
        const bool ok = inner_->ReadAt(byteOffset, dst);
        const std::int64_t t1 = MonotonicNs();
        reads_->push_back({static_cast<std::int64_t>(byteOffset / platform::kSectorBytes),
                           static_cast<double>(t1 - t0) / 1e6});
        return ok;
    }

  private:
    std::unique_ptr<platform::DeviceFile> inner_;
    std::shared_ptr<std::vector<RealRead>> reads_;
};

}  // namespace

RealTimeSystem::RealTimeSystem(std::shared_ptr<platform::SimDrive> drive)
    : drive_(std::move(drive)), reads_(std::make_shared<std::vector<RealRead>>()) {}

std::unique_ptr<platform::DeviceFile> RealTimeSystem::OpenDevice(const std::string& entry) {
    if (entry != kPacedDriveEntry) {
        return nullptr;
    }
    return std::make_unique<TimedDevice>(drive_->Open(drive_), reads_);
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
