// Reading the volume descriptor and timing a read.
#include "engine/SectorAccess.h"

#include <string>

#include "platform/LittleEndian.h"
#include "results/VolumeLabel.h"

namespace engine {

namespace {

constexpr std::int32_t kDescriptorSector = 16;
constexpr std::size_t kVolumeIdOffset = 40;
constexpr std::size_t kVolumeIdBytes = 32;
constexpr std::size_t kVolumeSizeOffset = 80;

// Milliseconds between two readings of the tick count, at least 1. The unsigned difference
// survives a wrap of the counter between the two readings.
std::int32_t TicksBetween(std::uint32_t t0, std::uint32_t t1) {
    const auto elapsed = static_cast<std::int32_t>(t1 - t0);
    return elapsed <= 0 ? 1 : elapsed;
}

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
    const bool fine = state_.FineTiming;
    const std::uint64_t fine0 = fine ? system_.MicroTicks() : 0;
    const std::uint32_t t0 = system_.TickCount();
    Read_Block();
    const std::uint32_t t1 = system_.TickCount();
    const std::uint64_t fine1 = fine ? system_.MicroTicks() : 0;
    state_.BlockTicks = TicksBetween(t0, t1);
    if (fine) {
        // A clock that went back counts as the shortest time, as the tick does.
        state_.BlockMicros = fine1 > fine0 ? static_cast<std::int64_t>(fine1 - fine0) : 1;
    }
}

double TransferSpeed(std::int32_t sectorCount, std::int32_t blockTicks) {
    const std::uint32_t kilobytesTimes1000 = static_cast<std::uint32_t>(sectorCount) * 2000u;
    return static_cast<double>(kilobytesTimes1000) /
           static_cast<double>(blockTicks < 1 ? 1 : blockTicks);
}

double FineTransferSpeed(std::int32_t sectorCount, std::int64_t blockMicros) {
    const double kilobytesTimes1000000 = static_cast<double>(sectorCount) * 2000.0 * 1000.0;
    return kilobytesTimes1000000 / static_cast<double>(blockMicros < 1 ? 1 : blockMicros);
}

double MeasuredSpeed(const run::RunState& state) {
    return state.FineTiming ? FineTransferSpeed(state.SectorCount, state.BlockMicros)
                            : TransferSpeed(state.SectorCount, state.BlockTicks);
}

void TakeVolumeDescriptor(run::RunState& state) {
    const std::span<const std::uint8_t> b = state.SectorBuffer.span();
    state.VolumeSize = static_cast<double>(platform::Le32(b, kVolumeSizeOffset));
    const std::string label(reinterpret_cast<const char*>(b.data() + kVolumeIdOffset),
                            kVolumeIdBytes);
    state.VolumeLabel = results::PrintableLabel(label);
}

}  // namespace engine
