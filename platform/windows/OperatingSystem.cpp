#include <memory>

#include "platform/OperatingSystem.h"
#include "platform/Sound.h"
#include "platform/windows/ResourceSound.h"
#include "platform/windows/WindowsSystem.h"

namespace platform {

std::unique_ptr<System> MakeOperatingSystem() {
    return std::make_unique<WindowsSystem>();
}

std::unique_ptr<SoundPlayer> MakeNativeSoundPlayer() {
    return std::make_unique<ResourceSoundPlayer>();
}

}  // namespace platform
