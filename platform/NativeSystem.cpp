#include <memory>

#include "platform/DriveEntries.h"
#include "platform/OperatingSystem.h"
#include "platform/SimRouting.h"

namespace platform {

std::unique_ptr<System> MakeNativeSystem() {
    return MakeNativeSystem(DriveEntriesFromEnvironment());
}

std::unique_ptr<System> MakeNativeSystem(std::optional<std::string> driveList) {
    std::optional<std::vector<std::string>> entries;
    if (driveList) {
        entries = SplitDriveEntries(*driveList);
    }
    return std::make_unique<SimRoutingSystem>(MakeOperatingSystem(), std::move(entries));
}

std::unique_ptr<System> MakeNativeSystem(std::vector<std::string> driveEntries) {
    return std::make_unique<SimRoutingSystem>(MakeOperatingSystem(), std::move(driveEntries));
}

}  // namespace platform
