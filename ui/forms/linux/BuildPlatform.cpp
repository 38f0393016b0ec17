#include "ui/forms/BuildPlatform.h"

#include <array>

namespace ui::forms {

namespace {

using namespace std::string_view_literals;

constexpr std::array kPurpose{
    "It is meant for testing the performance of CD-ROM"sv,
    "drives under Linux, and it is just as useful for"sv,
};

constexpr std::array kDrives{
    "2.  Every drive that Linux names sr0, sr1 and so on"sv,
    "    can be tested, on SATA, SCSI or USB alike. Set"sv,
    "    DISCOMETER_DRIVES to list other devices, disc"sv,
    "    images or the simulated sim, sim-dvd and sim-bd."sv,
};

constexpr std::array kSetUp{
    "3.  The program changes nothing in the system, keeps"sv,
    "    no settings and needs no set-up. To read a drive"sv,
    "    your user must be allowed to, usually by being a"sv,
    "    member of the group “cdrom”."sv,
};

constexpr std::array kBadSectors{
    "5.  The kernel retries a bad sector several times"sv,
    "    before it gives up, which can take minutes on a"sv,
    "    badly damaged disc; the run goes on once the"sv,
    "    read has failed."sv,
};

// In the order of SystemPassage.
constexpr std::array<std::span<const std::string_view>, 4> kPassages{kPurpose, kDrives, kSetUp,
                                                                     kBadSectors};

}  // namespace

std::string_view BuildPlatformName() {
    return "Linux";
}

std::span<const std::string_view> SystemPassageLines(SystemPassage passage) {
    return kPassages.at(static_cast<std::size_t>(passage));
}

}  // namespace ui::forms
