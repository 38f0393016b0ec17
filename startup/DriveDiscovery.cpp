#include "startup/DriveDiscovery.h"

namespace startup {

std::vector<std::string> FindOpticalDrives(platform::System& system) {
    std::vector<std::string> drives;
    for (const std::string& entry : system.CandidateDrives()) {
        if (system.DriveTypeOf(entry) == platform::DriveType::CdRom) {
            drives.push_back(entry);
        }
    }
    return drives;
}

std::string DriveIdentityText(const platform::DriveIdentity& identity) {
    std::string text;
    for (const std::string* part : {&identity.vendor, &identity.model, &identity.revision}) {
        if (part->empty()) {
            continue;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += *part;
    }
    if (!identity.medium.empty()) {
        text += (text.empty() ? "" : "  ") + identity.medium;
    }
    return text;
}

}  // namespace startup
