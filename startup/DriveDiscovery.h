#pragma once

#include <string>
#include <vector>

#include "platform/System.h"
#include "run/ChartLayout.h"

namespace startup {

// The item the drive list shows when there is no optical drive.
inline constexpr const char* kNoDriveItem = "NA";

// The optical drives among the system's candidates, in the order it gives them, each asked
// for its type exactly once.
std::vector<std::string> FindOpticalDrives(platform::System& system);

// A drive's identity as one line: vendor, model and firmware revision, those the system knows,
// separated by blanks, then the loaded medium after two ("HL-DT-ST DVDRAM GH24NSD1 LG00
// DVD-ROM"); empty when it knows none.
std::string DriveIdentityText(const platform::DriveIdentity& identity);

// The kind of disc in the drive before it is read: as the drive names its medium, or, for a
// disc image or a drive that does not say, from the size of what `path` holds (a CD when
// nothing is known).
run::Medium MediumOfDrive(const platform::DriveIdentity& identity, const std::string& path);

}  // namespace startup
