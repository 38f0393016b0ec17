#include "bench/InstantSystem.h"

namespace bench {

namespace {

constexpr std::uint64_t kDescriptorOffset = 16 * 2048;

// A disc as large as the volume descriptor can say (16,777,215 sectors), so that a run lasts
// for thousands of ticks.
platform::SimDiscParams LargestDisc() {
    platform::SimDiscParams p;
    p.volumeSectors = 0xFFFFFF;
    p.volumeId = "BENCH";
    return p;
}

// Only the descriptor is really read; every other read succeeds at once without touching
// the buffer.
class InstantDevice final : public platform::DeviceFile {
  public:
    explicit InstantDevice(const platform::SimDrive& disc) : disc_(disc) {}

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        if (byteOffset == kDescriptorOffset && dst.size() >= 2048) {
            disc_.SectorContent(16, dst.first(2048));
        }
        return true;
    }

  private:
    const platform::SimDrive& disc_;
};

}  // namespace

InstantSystem::InstantSystem() : disc_(LargestDisc()) {}

std::unique_ptr<platform::DeviceFile> InstantSystem::OpenDevice(const std::string& entry) {
    return entry == kInstantDriveEntry ? std::make_unique<InstantDevice>(disc_) : nullptr;
}

std::uint32_t InstantSystem::TickCount() {
    ticks_ += (++readings_ % 4 < 2) ? 190 : 210;
    return ticks_;
}

platform::VersionRecord InstantSystem::QueryVersion() {
    return {6, 1, (6u << 24) | (1u << 16) | 28u, platform::kPlatformLinux, "6.1.0-28-amd64"};
}

platform::DriveType InstantSystem::DriveTypeOf(const std::string& entry) {
    return entry == kInstantDriveEntry ? platform::DriveType::CdRom
                                       : platform::DriveType::NoRootDir;
}

}  // namespace bench
