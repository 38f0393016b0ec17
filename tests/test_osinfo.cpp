#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/System.h"
#include "run/RunState.h"
#include "system/OSInfo.h"

namespace {

using os::LiveOSInputs;
using os::LiveOSName;
using os::ReplayOSInputs;
using os::ReplayOSName;

constexpr std::uint32_t Build(std::uint32_t b3, std::uint32_t b2, std::uint32_t low = 0x0457) {
    return (b3 << 24) | (b2 << 16) | low;
}

std::string Live(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                 std::uint32_t build, std::string_view csd) {
    return LiveOSName({.platformId = platformId,
                       .majorVersion = major,
                       .minorVersion = minor,
                       .buildNumber = build,
                       .csdVersion = csd})
        .str();
}

std::string Replay(std::int32_t platform, std::int32_t major, std::int32_t minor, std::int32_t b3,
                   std::int32_t b2) {
    return ReplayOSName({.platform = platform,
                         .majorVersion = major,
                         .minorVersion = minor,
                         .buildNumber3 = b3,
                         .buildNumber2 = b2})
        .str();
}

// Live rule, Windows 95 family: the member comes from build-number bytes 3 and 2 only.
TEST(LiveOSName, Windows95FamilyRows) {
    EXPECT_EQ(Live(1, 4, 0, Build(4, 0), "A"), "Windows 95");
    EXPECT_EQ(Live(1, 4, 0, Build(4, 3), "A"), "Windows 95");
    EXPECT_EQ(Live(1, 4, 0, Build(4, 9), ""), "Windows 95");
    EXPECT_EQ(Live(1, 4, 10, Build(4, 10), ""), "Windows 98");
    EXPECT_EQ(Live(1, 4, 90, Build(4, 90), ""), "Windows ME");
    // Any other minor byte keeps the bare prefix, trailing blank included.
    EXPECT_EQ(Live(1, 4, 0, Build(4, 11), ""), "Windows ");
    EXPECT_EQ(Live(1, 4, 0, Build(4, 89), ""), "Windows ");
    EXPECT_EQ(Live(1, 4, 0, Build(4, 255), ""), "Windows ");
    // Byte 3 other than 4: not named, whatever the version fields say.
    EXPECT_EQ(Live(1, 4, 10, Build(3, 10), ""), "Unknown");
    EXPECT_EQ(Live(1, 4, 10, Build(5, 10), ""), "Unknown");
    EXPECT_EQ(Live(1, 4, 10, 0, ""), "Unknown");
    // The version fields and the service-pack text play no part in this family.
    EXPECT_EQ(Live(1, 9, 9, Build(4, 10), " B"), "Windows 98");
}

TEST(LiveOSName, WindowsNtFamilyRows) {
    EXPECT_EQ(Live(2, 4, 0, 1381, "Service Pack 6"), "Windows NT 4.0 Service Pack 6");
    // An empty service-pack text still gets its blank.
    EXPECT_EQ(Live(2, 4, 0, 1381, ""), "Windows NT 4.0 ");
    EXPECT_EQ(Live(2, 6, 0, 6002, "Service Pack 2"), "Windows NT 6.0 Service Pack 2");
    EXPECT_EQ(Live(2, 3, 51, 1057, ""), "Windows NT 3.51 ");
    EXPECT_EQ(Live(2, 5, 0, 2195, "Service Pack 4"), "Windows 2000 Service Pack 4");
    EXPECT_EQ(Live(2, 5, 1, 2600, "Service Pack 3"), "Windows XP Service Pack 3");
    // 5.2 and above: two blanks in a row.
    EXPECT_EQ(Live(2, 5, 2, 3790, "Service Pack 2"), "Windows  Service Pack 2");
    EXPECT_EQ(Live(2, 5, 7, 0, ""), "Windows  ");
    // Numbers are unsigned decimal.
    EXPECT_EQ(Live(2, 4294967295u, 0, 0, ""), "Windows NT 4294967295.0 ");
    // The build number does not steer the NT name.
    EXPECT_EQ(Live(2, 5, 1, Build(4, 10), ""), "Windows XP ");
}

TEST(LiveOSName, OtherPlatformsAndLinux) {
    EXPECT_EQ(Live(0, 5, 1, Build(4, 10), "x"), "Unknown");
    EXPECT_EQ(Live(3, 5, 1, Build(4, 10), "x"), "Unknown");
    EXPECT_EQ(Live(5, 5, 1, Build(4, 10), "x"), "Unknown");
    EXPECT_EQ(Live(4, 6, 1, Build(6, 1, 0), "6.1.0-28-amd64"), "Linux 6.1.0-28-amd64");
    EXPECT_EQ(Live(4, 0, 0, 0, ""), "Linux ");
}

TEST(LiveOSName, CutAt255Characters) {
    const std::string csd(300, 'c');
    const std::string nt = Live(2, 4, 0, 0, csd);
    ASSERT_EQ(nt.size(), 255u);
    EXPECT_EQ(nt, "Windows NT 4.0 " + csd.substr(0, 255 - 15));
    EXPECT_EQ(Live(4, 0, 0, 0, csd), "Linux " + csd.substr(0, 249));
}

TEST(ReplayOSName, Windows95FamilyRows) {
    EXPECT_EQ(Replay(1, 4, 0, 4, 0), "Windows 95");
    EXPECT_EQ(Replay(1, 4, 0, 4, 9), "Windows 95");
    EXPECT_EQ(Replay(1, 4, 10, 4, 10), "Windows 98");
    EXPECT_EQ(Replay(1, 4, 90, 4, 90), "Windows ME");
    EXPECT_EQ(Replay(1, 4, 0, 4, 11), "Windows ");
    EXPECT_EQ(Replay(1, 4, 0, 4, 50), "Windows ");
    // BuildNumber2 is compared unsigned: -1 is not below 10.
    EXPECT_EQ(Replay(1, 4, 0, 4, -1), "Windows ");
    EXPECT_EQ(Replay(1, 4, 0, 4, INT32_MIN), "Windows ");
    // BuildNumber3 other than 4, or missing (0): the family name.
    EXPECT_EQ(Replay(1, 4, 10, 3, 10), "Windows 95 family");
    EXPECT_EQ(Replay(1, 4, 10, 5, 10), "Windows 95 family");
    EXPECT_EQ(Replay(1, 0, 0, 0, 0), "Windows 95 family");
    EXPECT_EQ(Replay(1, 4, 10, -4, 10), "Windows 95 family");
}

TEST(ReplayOSName, WindowsNtFamilyRows) {
    // No blank between "NT" and the version.
    EXPECT_EQ(Replay(2, 4, 0, 0, 0), "Windows NT4.0");
    EXPECT_EQ(Replay(2, 4, 10, 0, 0), "Windows NT4.10");
    EXPECT_EQ(Replay(2, 4, -1, 0, 0), "Windows NT4.4294967295");
    EXPECT_EQ(Replay(2, 5, 0, 0, 0), "Windows 2000");
    EXPECT_EQ(Replay(2, 5, 1, 0, 0), "Windows XP");
    EXPECT_EQ(Replay(2, 5, 2, 0, 0), "Windows NT");
    EXPECT_EQ(Replay(2, 3, 51, 0, 0), "Windows NT");
    EXPECT_EQ(Replay(2, 6, 0, 0, 0), "Windows NT");
    EXPECT_EQ(Replay(2, 0, 0, 0, 0), "Windows NT");
    // The build bytes do not steer the NT name.
    EXPECT_EQ(Replay(2, 5, 1, 4, 10), "Windows XP");
}

TEST(ReplayOSName, OtherPlatformsAndLinux) {
    // Platform 0 is also what a file without [SysInfo] gives.
    EXPECT_EQ(Replay(0, 0, 0, 0, 0), "Unknown");
    EXPECT_EQ(Replay(0, 5, 1, 4, 10), "Unknown");
    EXPECT_EQ(Replay(3, 5, 1, 4, 10), "Unknown");
    EXPECT_EQ(Replay(-2, 5, 1, 4, 10), "Unknown");
    EXPECT_EQ(Replay(INT32_MAX, 4, 0, 4, 10), "Unknown");
    EXPECT_EQ(Replay(4, 6, 1, 6, 1), "Linux 6.1");
    EXPECT_EQ(Replay(4, 0, 0, 0, 0), "Linux 0.0");
    EXPECT_EQ(Replay(4, -1, 2, 0, 0), "Linux 4294967295.2");
}

// A system whose only working service is the version query.
class VersionOnlySystem : public platform::System {
  public:
    explicit VersionOnlySystem(platform::VersionRecord record) : record_(std::move(record)) {}
    std::unique_ptr<platform::DeviceFile> OpenDevice(const std::string&) override {
        return nullptr;
    }
    std::uint32_t TickCount() override { return 0; }
    platform::VersionRecord QueryVersion() override {
        ++queries;
        return record_;
    }
    std::vector<std::string> CandidateDrives() override { return {}; }
    platform::DriveType DriveTypeOf(const std::string&) override {
        return platform::DriveType::Unknown;
    }
    std::shared_ptr<platform::LoadedModule> LoadModule(const std::string&) override {
        return nullptr;
    }
    int queries = 0;

  private:
    platform::VersionRecord record_;
};

TEST(TestOS, CopiesTheVersionRecord) {
    VersionOnlySystem system({.majorVersion = 5,
                              .minorVersion = 1,
                              .buildNumber = 0xC0DE0A28,
                              .platformId = 2,
                              .csdVersion = "Service Pack 3"});
    run::RunState state;
    state.VolumeLabel = "KEEP";
    os::TestOS(state, system);
    EXPECT_EQ(system.queries, 1);
    EXPECT_EQ(state.OSMajorVersion, 5u);
    EXPECT_EQ(state.OSMinorVersion, 1u);
    EXPECT_EQ(state.OSBuildNumber, 0xC0DE0A28u);  // all 32 bits, as given
    EXPECT_EQ(state.OSPlatformId, 2u);
    EXPECT_EQ(state.OSCSDVersion, "Service Pack 3");
    EXPECT_EQ(state.VolumeLabel, "KEEP");
    EXPECT_EQ(LiveOSName(os::LiveInputsOf(state)), "Windows XP Service Pack 3");
}

TEST(TestOS, EmptyRecordReplacesEarlierValuesAndNamesUnknown) {
    VersionOnlySystem system({});
    run::RunState state;
    state.OSMajorVersion = 6;
    state.OSMinorVersion = 1;
    state.OSBuildNumber = 77;
    state.OSPlatformId = 2;
    state.OSCSDVersion = "old";
    os::TestOS(state, system);
    EXPECT_EQ(state.OSMajorVersion, 0u);
    EXPECT_EQ(state.OSMinorVersion, 0u);
    EXPECT_EQ(state.OSBuildNumber, 0u);
    EXPECT_EQ(state.OSPlatformId, 0u);
    EXPECT_EQ(state.OSCSDVersion, "");
    EXPECT_EQ(LiveOSName(os::LiveInputsOf(state)), "Unknown");
}

TEST(TestOS, ServicePackTextEndsAtNulAndAt128Characters) {
    run::RunState state;
    VersionOnlySystem longText({.platformId = 4, .csdVersion = std::string(200, 'k')});
    os::TestOS(state, longText);
    EXPECT_EQ(state.OSCSDVersion, std::string(128, 'k'));

    VersionOnlySystem withNul({.platformId = 4, .csdVersion = std::string("6.1.0\0junk", 10)});
    os::TestOS(state, withNul);
    EXPECT_EQ(state.OSCSDVersion, "6.1.0");
    EXPECT_EQ(LiveOSName(os::LiveInputsOf(state)), "Linux 6.1.0");
}

}  // namespace
