#include <memory>

#include "platform/OperatingSystem.h"
#include "platform/Sound.h"
#include "platform/linux/AlsaSound.h"
#include "platform/linux/LinuxSystem.h"

namespace platform {

std::unique_ptr<System> MakeOperatingSystem() {
    return std::make_unique<LinuxSystem>();
}

std::unique_ptr<SoundPlayer> MakeNativeSoundPlayer() {
    return std::make_unique<AlsaSoundPlayer>();
}

}  // namespace platform
