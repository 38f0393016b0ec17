#include <memory>

#include "platform/DriveEntries.h"
#include "platform/OperatingSystem.h"
#include "platform/SimRouting.h"

namespace platform {

std::unique_ptr<System> MakeNativeSystem() {
    return MakeNativeSystem(DriveEntriesFromEnvironment());
}

std::unique_ptr<System> MakeNativeSystem(std::optional<std::string> driveEntries) {
    return std::make_unique<SimRoutingSystem>(MakeOperatingSystem(), std::move(driveEntries));
}

}  // namespace platform
