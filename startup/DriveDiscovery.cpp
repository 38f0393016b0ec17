#include "startup/DriveDiscovery.h"

#include "platform/Files.h"
#include "platform/SectorBuffer.h"
#include "results/ChartAxes.h"

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

run::Medium MediumOfDrive(const platform::DriveIdentity& identity, const std::string& path) {
    const std::string& medium = identity.medium;
    if (medium.starts_with("CD")) {
        return run::Medium::CD;
    }
    if (medium.starts_with("DVD")) {
        return run::Medium::DVD;
    }
    if (medium.starts_with("BD")) {
        return run::Medium::BluRay;
    }
    const platform::PathInfo info = platform::InspectPath(path);
    const std::uint64_t wholeSectors = info.bytes / platform::kSectorBytes;
    return results::MediumOf(static_cast<double>(wholeSectors));
}

}  // namespace startup
