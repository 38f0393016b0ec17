#include <memory>

#include "platform/DriveEntries.h"
#include "platform/SimRouting.h"
#include "platform/Sound.h"
#include "platform/linux/AlsaSound.h"
#include "platform/linux/LinuxSystem.h"

namespace platform {

std::unique_ptr<System> MakeNativeSystem() {
    return MakeNativeSystem(DriveEntriesFromEnvironment());
}

std::unique_ptr<System> MakeNativeSystem(std::optional<std::string> driveEntries) {
    return std::make_unique<SimRoutingSystem>(std::make_unique<LinuxSystem>(),
                                              std::move(driveEntries));
}

std::unique_ptr<SoundPlayer> MakeNativeSoundPlayer() {
    return std::make_unique<AlsaSoundPlayer>();
}

}  // namespace platform
