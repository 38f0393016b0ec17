// Start-up: the drive list, the sector library where the system needs it, the first states.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "results/ResultsDocument.h"
#include "run/ReadSpeed.h"
#include "startup/DriveDiscovery.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

using run::MenuMark;
using run::Panel;

namespace {

// A loaded module with a chosen set of exports.
class FakeModule : public platform::LoadedModule {
  public:
    explicit FakeModule(std::set<std::string> exports) : exports_(std::move(exports)) {}
    void* Resolve(const std::string& name) override {
        if (exports_.count(name) == 0) {
            return nullptr;
        }
        return name == "ReadCDvtoc32" ? reinterpret_cast<void*>(&Vtoc)
                                      : reinterpret_cast<void*>(&Check);
    }
    static std::int32_t DISCOMETER_LIBRARY_CALL Vtoc(std::int32_t, std::int32_t, void*) {
        return 0;
    }
    static std::int32_t DISCOMETER_LIBRARY_CALL Check(std::int32_t, std::int32_t, std::int32_t) {
        return 0;
    }

  private:
    std::set<std::string> exports_;
};

// A program whose start-up runs on a system that the test arranges first.
struct Arranged {
    explicit Arranged(const std::function<void(platform::SimSystem&)>& arrange)
        : drive(std::make_shared<platform::SimDrive>(fakes::SmallDisc())), system(drive) {
        arrange(system);
        status = startup::StartUp(ctx);
    }
    std::shared_ptr<platform::SimDrive> drive;
    platform::SimSystem system;
    run::RunState state;
    results::DataList dataList{"left over"};
    run::Chart chart;
    fakes::FakeWindow window;
    fakes::FakePrompts prompts;
    run::RunContext ctx{state, dataList, chart, system, window, prompts};
    std::optional<int> status;
};

}  // namespace

TEST(DriveDiscovery, TheReadSpeedsOfTheLoadedMediumUpToTheDrivesFastest) {
    struct Row {
        const char* name;
        std::string medium;  // as the drive names it
        std::uint64_t imageSectors;
        std::uint32_t fastestKBs;
        std::vector<std::int32_t> speeds;
    };
    fixtures::TempDir dir;
    for (const Row& row : {
             Row{"a CD-R, fastest unknown", "CD-R", 0, 0, {0, 52, 48, 40, 32, 24, 16, 8, 4}},
             Row{"a 48x CD drive", "CD-ROM", 0, 8467, {0, 48, 40, 32, 24, 16, 8, 4}},
             Row{"a DVD+R DL in a 16x drive", "DVD+R DL", 0, 22160, {0, 16, 12, 8, 6, 4, 2, 1}},
             Row{"a DVD in an 8x drive", "DVD-ROM", 0, 11080, {0, 8, 6, 4, 2, 1}},
             Row{"a BD-RE", "BD-RE", 0, 0, {0, 12, 10, 8, 6, 4, 2, 1}},
             Row{"an image of a DVD's size", "", 2295104, 0, {0, 16, 12, 8, 6, 4, 2, 1}},
             Row{"an image of a CD's size", "", 333000, 0, {0, 52, 48, 40, 32, 24, 16, 8, 4}},
             Row{"nothing known", "", 0, 0, {0, 52, 48, 40, 32, 24, 16, 8, 4}},
         }) {
        SCOPED_TRACE(row.name);
        const std::string path = (dir.path() / "disc.iso").string();
        std::filesystem::remove(path);
        if (row.imageSectors > 0) {
            std::ofstream(path, std::ios::binary).close();
            std::filesystem::resize_file(path, row.imageSectors * 2048);
        }
        platform::DriveIdentity identity;
        identity.medium = row.medium;
        EXPECT_EQ(run::OfferedReadSpeeds(startup::MediumOfDrive(identity, path), row.fastestKBs),
                  row.speeds);
    }
}

TEST(StartUp, PreparesTheWindowAndTheRunState) {
    Arranged p([](platform::SimSystem& s) { s.candidates = {"sr0", "sim", "sr1"}; });
    ASSERT_FALSE(p.status.has_value());
    EXPECT_EQ(p.window.driveItems, std::vector<std::string>{"sim"});  // the only optical one
    EXPECT_EQ(p.window.DriveListText(), "sim");
    EXPECT_FALSE(p.state.NoDrive);
    EXPECT_EQ(p.window.Panel(Panel::State), "System Stopped");
    EXPECT_EQ(p.window.checked, std::set<MenuMark>{MenuMark::N800});
    EXPECT_TRUE(p.dataList.empty());
    EXPECT_EQ(p.window.gauge.BackColor(), 0xDBEAEAu);
    EXPECT_EQ(p.window.gauge.ForeColor(), 0x205858u);
    EXPECT_EQ(p.state.XScale, 1.452);
    EXPECT_EQ(p.state.SpeedFullScale, 8400);
    EXPECT_EQ(p.state.OSPlatformId, platform::kPlatformLinux);
    EXPECT_EQ(p.state.PlotHeight, 0);  // set only when a run or a replay begins
    EXPECT_EQ(p.state.Baseline, 0);
    EXPECT_EQ(p.state.SectorLib, nullptr);               // a raw-device system loads no library
    EXPECT_EQ(p.chart.bitmap.Pixel(30, 15), 0x909090u);  // the empty chart is drawn
    EXPECT_TRUE(p.prompts.sounds.empty());
}

TEST(StartUp, WithoutADriveListsNAAndStartRefuses) {
    Arranged p([](platform::SimSystem& s) { s.candidates = {"sr0", "sr1"}; });
    ASSERT_FALSE(p.status.has_value());
    EXPECT_EQ(p.window.driveItems, std::vector<std::string>{"NA"});
    EXPECT_EQ(p.window.DriveListText(), "NA");
    EXPECT_TRUE(p.state.NoDrive);
    EXPECT_FALSE(engine::StartRun(p.ctx));
    EXPECT_EQ(p.prompts.sounds, std::vector<std::string>{"ERROR"});
    EXPECT_TRUE(p.drive->ReadLog().empty());
}

TEST(StartUp, SectorLibraryPathNeedsTheLibraryAndBothEntryPoints) {
    const auto library = [](const std::set<std::string>& exports) {
        return [exports](platform::SimSystem& s) {
            s.version.platformId = platform::kPlatformWin95;
            s.modules["sectrd32.dll"] = std::make_shared<FakeModule>(exports);
        };
    };
    EXPECT_EQ(Arranged([](platform::SimSystem& s) { s.version.platformId = 1; }).status, 1);
    EXPECT_EQ(Arranged(library({"ReadCDvtoc32"})).status, 1);
    EXPECT_EQ(Arranged(library({"CheckCDSectors32"})).status, 1);

    Arranged missing(library({"ReadCDvtoc32"}));
    EXPECT_EQ(missing.state.SectorLib, nullptr);      // released again
    EXPECT_EQ(missing.window.driveItems.size(), 0u);  // ended before the drive list

    Arranged full(library({"ReadCDvtoc32", "CheckCDSectors32"}));
    EXPECT_FALSE(full.status.has_value());
    EXPECT_NE(full.state.SectorLib, nullptr);
    EXPECT_EQ(full.state.CheckCDSectors32, &FakeModule::Check);
    EXPECT_EQ(full.state.ReadCDvtoc32, &FakeModule::Vtoc);

    // An unknown platform takes the library path too.
    Arranged unknown([](platform::SimSystem& s) { s.version.platformId = 0; });
    EXPECT_EQ(unknown.status, 1);
}

TEST(StartUp, RunAfterAReplayedPlatformStillReadsTheRawDevice) {
    fakes::Program p;
    p.state.OSPlatformId = 1;  // what a loaded file may leave behind
    ASSERT_TRUE(p.Start());
    EXPECT_EQ(p.state.OSPlatformId, platform::kPlatformLinux);
    EXPECT_EQ(p.system.openCount, 1);
}
