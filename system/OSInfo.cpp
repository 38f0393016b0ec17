#include "system/OSInfo.h"

#include <string>

namespace os {

namespace {

std::uint32_t ByteOf(std::uint32_t word, int n) {
    return (word >> (8 * n)) & 0xFFu;
}

std::string Decimal(std::uint32_t value) {
    return std::to_string(value);
}

// The Windows 95 family tells its members apart by the minor version byte of the build
// number.
void AppendWin9xMember(run::ShortText& name, std::uint32_t minor) {
    if (minor < 10) {
        name += "95";
    } else if (minor == 10) {
        name += "98";
    } else if (minor == 90) {
        name += "ME";
    }
}

}  // namespace

void TestOS(run::RunState& state, platform::System& system) {
    state.OSMajorVersion = 0;
    state.OSMinorVersion = 0;
    state.OSBuildNumber = 0;
    state.OSPlatformId = 0;
    state.OSCSDVersion.clear();

    const platform::VersionRecord record = system.QueryVersion();
    state.OSMajorVersion = record.majorVersion;
    state.OSMinorVersion = record.minorVersion;
    state.OSBuildNumber = record.buildNumber;
    state.OSPlatformId = record.platformId;
    // The system's field is a NUL-terminated text of at most 128 characters.
    std::string_view csd = record.csdVersion;
    csd = csd.substr(0, csd.find('\0'));
    state.OSCSDVersion.assign(csd.substr(0, platform::kCsdVersionChars));
}

LiveOSInputs LiveInputsOf(const run::RunState& state) {
    return LiveOSInputs{
        .platformId = state.OSPlatformId,
        .majorVersion = state.OSMajorVersion,
        .minorVersion = state.OSMinorVersion,
        .buildNumber = state.OSBuildNumber,
        .csdVersion = state.OSCSDVersion,
    };
}

run::ShortText LiveOSName(const LiveOSInputs& in) {
    run::ShortText name = std::string_view("Unknown");
    if (in.platformId == platform::kPlatformWin95 && ByteOf(in.buildNumber, 3) == 4) {
        name = "Windows ";
        AppendWin9xMember(name, ByteOf(in.buildNumber, 2));
    }
    if (in.platformId == platform::kPlatformWinNT) {
        name = "Windows ";
        if (in.majorVersion != 5) {
            name += "NT ";
            name += Decimal(in.majorVersion);
            name += ".";
            name += Decimal(in.minorVersion);
        } else if (in.minorVersion == 0) {
            name += "2000";
        } else if (in.minorVersion == 1) {
            name += "XP";
        }
        // The blank comes even when there is no service-pack text.
        name += " ";
        name += in.csdVersion;
    }
    if (in.platformId == platform::kPlatformLinux) {
        name = "Linux ";
        name += in.csdVersion;
    }
    return name;
}

run::ShortText ReplayOSName(const ReplayOSInputs& in) {
    const auto asUnsigned = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
    run::ShortText name = std::string_view("Unknown");
    if (in.platform == static_cast<std::int32_t>(platform::kPlatformWin95)) {
        name = "Windows 95 family";
        if (in.buildNumber3 == 4) {
            name = "Windows ";
            // A negative value in the file counts as a large unsigned one, not as below 10.
            AppendWin9xMember(name, asUnsigned(in.buildNumber2));
        }
    }
    if (in.platform == static_cast<std::int32_t>(platform::kPlatformWinNT)) {
        name = "Windows NT";
        if (in.majorVersion == 4) {
            name += Decimal(asUnsigned(in.majorVersion));
            name += ".";
            name += Decimal(asUnsigned(in.minorVersion));
        } else if (in.majorVersion == 5 && in.minorVersion == 0) {
            name = "Windows 2000";
        } else if (in.majorVersion == 5 && in.minorVersion == 1) {
            name = "Windows XP";
        }
    }
    if (in.platform == static_cast<std::int32_t>(platform::kPlatformLinux)) {
        name = "Linux ";
        name += Decimal(asUnsigned(in.majorVersion));
        name += ".";
        name += Decimal(asUnsigned(in.minorVersion));
    }
    return name;
}

}  // namespace os
