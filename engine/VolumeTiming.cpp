// Reading the volume descriptor and timing a read.
#include "engine/SectorAccess.h"

namespace engine {

namespace {

constexpr std::int32_t kDescriptorSector = 16;
constexpr std::size_t kVolumeIdOffset = 40;
constexpr std::size_t kVolumeIdBytes = 32;
constexpr std::size_t kVolumeSizeOffset = 80;

}  // namespace

void SectorAccess::Read_VTOC() {
    if (run::UsesRawDevice(state_.OSPlatformId)) {
        state_.SectorCount = 1;
        state_.StartSector = kDescriptorSector;
        Read_Block();
        return;
    }
    state_.DriveLetter = CurrentDriveLetter();
    state_.ReadStatus = state_.ReadCDvtoc32 == nullptr
                            ? kReadFailed
                            : state_.ReadCDvtoc32(static_cast<std::uint8_t>(state_.DriveLetter), 0,
                                                  state_.SectorBuffer.data());
}

void SectorAccess::Time_Block() {
    const std::uint32_t t0 = system_.TickCount();
    Read_Block();
    const std::uint32_t t1 = system_.TickCount();
    // The unsigned difference survives a wrap of the counter between the two readings.
    const auto elapsed = static_cast<std::int32_t>(t1 - t0);
    state_.BlockTicks = elapsed <= 0 ? 1 : elapsed;
}

double TransferSpeed(std::int32_t sectorCount, std::int32_t blockTicks) {
    const std::uint32_t kilobytesTimes1000 = static_cast<std::uint32_t>(sectorCount) * 2000u;
    return static_cast<double>(kilobytesTimes1000) /
           static_cast<double>(blockTicks < 1 ? 1 : blockTicks);
}

void TakeVolumeDescriptor(run::RunState& state) {
    const auto& b = state.SectorBuffer;
    state.VolumeSize = static_cast<double>(b[kVolumeSizeOffset] + b[kVolumeSizeOffset + 1] * 256 +
                                           b[kVolumeSizeOffset + 2] * 65536);
    state.VolumeLabel.Clear();
    for (std::size_t i = 0; i < kVolumeIdBytes; ++i) {
        state.VolumeLabel.Append(static_cast<char>(b[kVolumeIdOffset + i]));
    }
}

}  // namespace engine
