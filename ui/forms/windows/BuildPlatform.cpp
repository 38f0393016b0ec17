#include "ui/forms/BuildPlatform.h"

#include <array>

namespace ui::forms {

namespace {

using namespace std::string_view_literals;

constexpr std::array kPurpose{
    "It is meant for testing the performance of CD-ROM"sv,
    "drives under Windows, and it is just as useful for"sv,
};

constexpr std::array kDrives{
    "2.  Every drive that Windows lists as a CD-ROM drive"sv,
    "    can be tested; under Windows 95, 98 and ME only"sv,
    "    through the sector library sectrd32.dll, and no"sv,
    "    SCSI drive. Set DISCOMETER_DRIVES to list other"sv,
    "    drives or disc image files."sv,
};

constexpr std::array kSetUp{
    "3.  The program changes nothing in the system or its"sv,
    "    registry, keeps no settings and needs no set-up."sv,
};

constexpr std::array kBadSectors{
    "5.  Under Windows NT the IDE driver retries a bad"sv,
    "    sector several times before it gives up, and on"sv,
    "    some systems it hangs on one; the run goes on"sv,
    "    once the read has failed."sv,
};

// In the order of SystemPassage.
constexpr std::array<std::span<const std::string_view>, 4> kPassages{kPurpose, kDrives, kSetUp,
                                                                     kBadSectors};

}  // namespace

std::string_view BuildPlatformName() {
    return "Windows 95/98/ME, NT";
}

std::span<const std::string_view> SystemPassageLines(SystemPassage passage) {
    return kPassages.at(static_cast<std::size_t>(passage));
}

}  // namespace ui::forms
