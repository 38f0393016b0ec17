#include "platform/DriveSpeed.h"

#include <algorithm>

#include "platform/MmcCommands.h"

namespace platform {

namespace {

// The request as SET CD SPEED carries it: a speed beyond its 16 bits is no slower than the
// fastest.
std::uint16_t CdSpeedField(std::uint32_t kBs) {
    return kBs == 0 ? mmc::kFastest
                    : static_cast<std::uint16_t>(std::min<std::uint32_t>(kBs, mmc::kFastest));
}

}  // namespace

SpeedCommand AskReadSpeed(SpeedCommands& commands, const ReadSpeedRequest& request) {
    const std::uint32_t kBs = mmc::RequestKBs(request);
    if ((request.medium != Medium::CD || request.streamsCd) &&
        commands.SetStreaming(kBs, request.lastSector, request.times <= 0)) {
        return SpeedCommand::SetStreaming;
    }
    if (commands.SetCdSpeed(CdSpeedField(kBs))) {
        return SpeedCommand::SetCdSpeed;
    }
    return SpeedCommand::None;
}

void RestoreReadSpeed(SpeedCommands& commands, SpeedCommand taken,
                      const ReadSpeedRequest& request) {
    if (taken == SpeedCommand::SetStreaming) {
        commands.SetStreaming(0, request.lastSector, true);
    } else if (taken == SpeedCommand::SetCdSpeed) {
        commands.SetCdSpeed(mmc::kFastest);
    }
}

}  // namespace platform
