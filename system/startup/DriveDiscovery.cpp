#include "system/startup/DriveDiscovery.h"

namespace system_env {

std::vector<std::string> FindOpticalDrives(platform::System& system) {
    std::vector<std::string> drives;
    for (const std::string& entry : system.CandidateDrives()) {
        if (system.DriveTypeOf(entry) == platform::DriveType::CdRom) {
            drives.push_back(entry);
        }
    }
    return drives;
}

}  // namespace system_env
