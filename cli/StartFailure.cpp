#include "cli/StartFailure.h"

#include <array>
#include <cmath>
#include <cstring>
#include <optional>

#include "platform/Files.h"
#include "platform/SectorBuffer.h"

namespace cli {

namespace {

constexpr std::int32_t kDescriptorSector = 16;

std::string Number(double value) {
    return std::to_string(static_cast<long long>(std::trunc(value)));
}

// What can be learnt about the medium behind a path without the run's own reads.
struct Medium {
    std::optional<std::int64_t> sectors;  // whole sectors, when the size is known
    bool isoSignature = false;            // "CD001" in the descriptor at sector 16
};

Medium LookAt(const std::string& path) {
    Medium m;
    const platform::PathInfo info = platform::InspectPath(path);
    if (info.kind == platform::PathKind::Regular ||
        (info.kind == platform::PathKind::BlockDevice && info.bytes > 0)) {
        m.sectors = static_cast<std::int64_t>(info.bytes / platform::kSectorBytes);
    }
    std::array<std::uint8_t, 6> head{};
    m.isoSignature = platform::PeekBytes(path, kDescriptorSector * platform::kSectorBytes, head) &&
                     head[0] == 1 && std::memcmp(head.data() + 1, "CD001", 5) == 0;
    return m;
}

std::string NoDriveText(const std::string& drive, const std::string& path) {
    const platform::PathInfo info = platform::InspectPath(path);
    if (info.kind == platform::PathKind::Missing) {
        std::string text = "cannot find " + path + ": " + info.error.message();
        // A bare name is a kernel name; an image of that name here wants a path.
        if (drive.find('/') == std::string::npos &&
            platform::InspectPath(drive).kind != platform::PathKind::Missing) {
            text += " \u2014 for the file in this folder, write ./" + drive;
        }
        return text;
    }
    if (info.kind == platform::PathKind::Directory) {
        return path + " is a directory, not a drive or a disc image";
    }
    return path + " is not an optical drive or a disc image";
}

std::string OpenFailureText(const std::string& path, std::error_code error) {
    std::string text = "cannot open " + path + ": " + error.message();
    if (const std::string hint = platform::OpenFailureHint(path, error); !hint.empty()) {
        text += " \u2014 " + hint;
    }
    return text;
}

}  // namespace

std::string DescribeStartFailure(const engine::RunState& s, const platform::System& system,
                                 const std::string& drive) {
    const std::string path = system.DevicePath(drive);
    if (s.NoDrive) {
        return NoDriveText(drive, path);
    }
    if (system.LastOpenError()) {
        return OpenFailureText(path, system.LastOpenError());
    }

    const Medium medium = LookAt(path);
    const std::int64_t first = s.StartSector;
    const std::int64_t last = first + s.SectorCount - 1;
    if (first == kDescriptorSector && s.SectorCount == 1) {
        std::string text = "no disc or unreadable volume descriptor in " + path;
        if (medium.sectors && *medium.sectors <= kDescriptorSector) {
            text += ": it holds only " + std::to_string(*medium.sectors) + " sectors";
        }
        return text;
    }
    if (!medium.isoSignature) {
        return path + " holds no ISO 9660 data volume (no volume descriptor at sector 16)";
    }
    // Run start reads sectors 16 to 999 and then times the first DataSectors of block 1.
    const std::int64_t needed = 1000 + s.DataSectors;
    if (s.VolumeSize < static_cast<double>(needed)) {
        return "the volume is too small to measure: it holds " + Number(s.VolumeSize) +
               " sectors, a run needs at least " + std::to_string(needed);
    }
    std::string text = "cannot read sectors " + std::to_string(first) + " to " +
                       std::to_string(last) + " of " + path;
    if (medium.sectors && *medium.sectors <= last) {
        text += ": it ends after " + std::to_string(*medium.sectors) +
                " sectors, though its volume holds " + Number(s.VolumeSize);
    }
    return text;
}

}  // namespace cli
