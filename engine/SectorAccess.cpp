#include "engine/SectorAccess.h"

#include <span>

namespace engine {

SectorAccess::SectorAccess(run::RunState& state, platform::System& system,
                           std::function<std::string()> driveListText)
    : state_(state), system_(system), driveListText_(std::move(driveListText)) {}

char SectorAccess::CurrentDriveLetter() const {
    const std::string text = driveListText_ ? driveListText_() : std::string();
    return text.empty() ? '\0' : text.front();
}

bool SectorAccess::OpenDevice() {
    state_.DeviceHandle = system_.OpenDevice(driveListText_ ? driveListText_() : std::string());
    return state_.DeviceHandle != nullptr;
}

bool SectorAccess::SelectReadSpeed(const platform::ReadSpeedRequest& request) {
    return state_.DeviceHandle != nullptr && state_.DeviceHandle->SelectReadSpeed(request);
}

platform::DiscState SectorAccess::CheckDisc() {
    return state_.DeviceHandle != nullptr ? state_.DeviceHandle->CheckDisc()
                                          : platform::DiscState::Present;
}

void SectorAccess::CloseDevice() {
    state_.DeviceHandle.reset();
}

void SectorAccess::Read_Block() {
    if (!run::UsesRawDevice(state_.OSPlatformId)) {
        state_.DriveLetter = CurrentDriveLetter();
        state_.ReadStatus =
            state_.CheckCDSectors32 == nullptr
                ? kReadFailed
                : state_.CheckCDSectors32(static_cast<std::uint8_t>(state_.DriveLetter),
                                          state_.StartSector, state_.SectorCount);
        return;
    }
    state_.ReadStatus = kReadFailed;
    const std::int32_t count = state_.SectorCount;
    if (state_.DeviceHandle == nullptr || state_.StartSector < 0 || count < 1 ||
        static_cast<std::size_t>(count) > platform::kMaxSectorsPerRead) {
        return;
    }
    // 64 bits wide, so volumes beyond 2 GiB read to their end.
    const std::uint64_t offset =
        static_cast<std::uint64_t>(state_.StartSector) * platform::kSectorBytes;
    const std::span<std::uint8_t> dst(state_.SectorBuffer.data(),
                                      static_cast<std::size_t>(count) * platform::kSectorBytes);
    if (state_.DeviceHandle->ReadAt(offset, dst)) {
        state_.ReadStatus = 0;
    }
}

}  // namespace engine
