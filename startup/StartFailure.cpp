#include "startup/StartFailure.h"

#include <cmath>

#include "engine/VolumeRecognition.h"
#include "platform/Files.h"
#include "startup/DriveDiscovery.h"
#include "startup/Medium.h"

namespace startup {

namespace {

constexpr std::int32_t kDescriptorSector = 16;

std::string Number(double value) {
    return std::to_string(static_cast<long long>(std::trunc(value)));
}

// The messages keep to ASCII, which every terminal and console shows alike: a Windows console
// takes text in a code page of its own, not UTF-8, and the reasons and paths beside them come
// in the system's code page.
std::string OpenFailureText(const std::string& path, std::error_code error) {
    std::string text = "cannot open " + path + ": " + error.message();
    if (const std::string hint = platform::OpenFailureHint(path, error); !hint.empty()) {
        text += " - " + hint;
    }
    return text;
}

// The text with its first letter a capital, as a sentence of its own.
std::string Sentence(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') {
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    }
    return text;
}

}  // namespace

std::string DescribeUnlistedDrive(const std::string& drive, const std::string& path) {
    const platform::PathInfo info = platform::InspectPath(path);
    if (info.kind == platform::PathKind::Missing) {
        // What the drive list shows when it found no drive, typed back.
        if (drive == kNoDriveItem) {
            return "no optical drive was found (NA stands for none); name a device or a disc "
                   "image instead, such as /dev/sr1 or ./disc.iso, or try sim for the "
                   "simulated drive";
        }
        std::string text = "cannot find " + path + ": " + info.error.message();
        // A bare name is a kernel name; an image of that name here wants a path.
        if (drive.find('/') == std::string::npos &&
            platform::InspectPath(drive).kind != platform::PathKind::Missing) {
            text += " - for the file in this folder, write ./" + drive;
        }
        return text;
    }
    if (info.kind == platform::PathKind::Directory) {
        return path + " is a directory, not a drive or a disc image";
    }
    return path + " is not a drive, a disc image or a disk device";
}

std::string DescribeStartFailure(const run::RunState& s, const platform::System& system,
                                 const std::string& drive) {
    const std::string path = system.DevicePath(drive);
    if (s.NoDrive) {
        return DescribeUnlistedDrive(drive, path);
    }
    if (system.LastOpenError() == platform::MakeError(platform::DriveProblem::Busy)) {
        return "the drive is busy with another measurement (" + path + ")";
    }
    if (system.LastOpenError()) {
        return OpenFailureText(path, system.LastOpenError());
    }

    const Medium medium = LookAt(path);
    const std::int64_t first = s.StartSector;
    const std::int64_t last = first + s.SectorCount - 1;
    if (first == kDescriptorSector && s.SectorCount == 1 && s.ReadStatus < 0) {
        std::string text = "no disc or unreadable volume descriptor in " + path;
        if (medium.sectors && *medium.sectors <= kDescriptorSector) {
            text += ": it holds only " + std::to_string(*medium.sectors) + " sectors";
        }
        return text;
    }
    if (!medium.isoSignature && !medium.udf) {
        return NoVolumeText(path);
    }
    if (s.VolumeSize < static_cast<double>(SectorsNeeded(s.DataSectors))) {
        return TooSmallText(s.VolumeSize, SectorsNeeded(s.DataSectors));
    }
    if (s.VolumeSize > engine::kLargestVolumeSectors) {
        return TooLargeText(s.VolumeSize);
    }
    std::string text = "cannot read sectors " + std::to_string(first) + " to " +
                       std::to_string(last) + " of " + path;
    if (medium.sectors && *medium.sectors <= last) {
        text += ": it ends after " + std::to_string(*medium.sectors) +
                " sectors, though its volume holds " + Number(s.VolumeSize);
    }
    return text;
}

std::string WindowStartFailure(const run::RunState& state, const platform::System& system,
                               const std::string& drive) {
    if (!state.NoDrive) {
        return Sentence(DescribeStartFailure(state, system, drive));
    }
    std::string text = "No drive";
    if (const auto named = system.NamedDrives()) {
        for (const std::string& entry : *named) {
            text += "\n" + entry +
                    " left out: " + DescribeUnlistedDrive(entry, system.DevicePath(entry));
        }
    }
    return text;
}

}  // namespace startup
