// Runs and replays of volumes larger than a CD, the simulated DVD and Blu-ray drives, and the
// read speed handed to the drive.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/System.h"
#include "results/ChartAxes.h"
#include "results/ChartFrame.h"
#include "results/DocumentHeader.h"
#include "results/NumberText.h"
#include "results/Replay.h"
#include "support/ChartCompare.h"
#include "support/NativeProgram.h"
#include "support/RunDocuments.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using run::Medium;
using run::Panel;
using run::PanelWidths;

namespace {

constexpr platform::Color kCyan = 0xE0E000;
constexpr platform::Color kMarker = 0xD0D0D0;

TEST(LargeVolume, DvdImageThroughTheRawDeviceFitsTheChartAndReplaysTheSame) {
    const fixtures::TempDir dir;
    constexpr std::uint32_t kSectors = 2295104;
    const fs::path image = dir / "dvd.iso";
    platform::SimDiscParams disc;
    disc.volumeSectors = kSectors;
    disc.volumeId = "SPARSE_DVD";
    ASSERT_TRUE(platform::WriteSparseImage(disc, image.string()));
    fakes::NativeProgram live(image.string());
    ASSERT_TRUE(live.Start());
    EXPECT_EQ(live.state.Layout, results::ChartLayoutFor(kSectors));
    EXPECT_EQ(live.state.Layout.medium, Medium::DVD);
    EXPECT_EQ(live.window.panelWidths, PanelWidths::Wide);
    EXPECT_EQ(live.window.gauge.MaxValue(), 2295);

    // Everything but the summary is drawn: curve and marker lie within the plot.
    while (live.window.timer && live.state.BlockIndex + 2 < 2295) {
        engine::MeasureTick(live.ctx);
    }
    const auto& chart = live.chart.bitmap;
    int curve = 0;
    for (int y = 14; y < chart.Height(); ++y) {
        for (int x = 0; x < chart.Width(); ++x) {
            if (chart.Pixel(x, y) == kCyan) {
                ASSERT_TRUE(x >= 36 && x <= 581 && y >= 15 && y <= 324) << x << "," << y;
                curve = std::max(curve, x);
            }
        }
    }
    EXPECT_GE(curve, results::BlockToX(live.state, 2289));
    const std::int32_t marker = results::SectorToX(live.state, kSectors);
    EXPECT_EQ(marker, 36 + static_cast<int>(545.0 * 2295.104 / 2400));
    EXPECT_EQ(chart.Pixel(marker, 15), kMarker);

    live.RunToEnd();
    EXPECT_EQ(live.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(live.window.Panel(Panel::SectorsTotal), "Sectors Total : 2295104");
    // Block 1 at the start, then every second block; block 2295's read runs past the end.
    const auto lines = fakes::Results(live.dataList);
    ASSERT_EQ(lines.size(), 1147u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].BlockIndex, static_cast<std::int32_t>(2 * i + 1));
        ASSERT_GT(lines[i].Speed, 0);
    }
    EXPECT_EQ(live.window.Panel(Panel::BlocksRead), "Blocks Read : 2295");

    fakes::NativeProgram replay("");
    fakes::Replay(replay, live.dataList, dir / "dvd.dat");
    EXPECT_EQ(replay.state.Layout, live.state.Layout);
    EXPECT_EQ(replay.window.panelWidths, PanelWidths::Wide);
    // The summary on the low row differs: the file keeps the first speed limited to full scale.
    fixtures::ExpectSameChartButTheCurve(live.chart.bitmap, replay.chart.bitmap,
                                         {.left = 400, .top = 282, .right = 591, .bottom = 316});
}

TEST(LargeVolume, DualLayerBluRayImageIsReadToItsLastBlock) {
    const fixtures::TempDir dir;
    constexpr std::uint32_t kSectors = 24438784;  // BD-50: beyond the descriptor's low 24 bits
    const fs::path image = dir / "bd50.iso";
    platform::SimDiscParams disc;
    disc.volumeSectors = kSectors;
    disc.volumeId = "SPARSE_BD50";
    ASSERT_TRUE(platform::WriteSparseImage(disc, image.string()));
    fakes::NativeProgram live(image.string());
    ASSERT_TRUE(live.Start());
    EXPECT_EQ(live.state.VolumeSize, kSectors);
    EXPECT_EQ(live.state.Layout, results::ChartLayoutFor(kSectors));
    EXPECT_EQ(live.state.Layout.medium, Medium::BluRay);
    EXPECT_EQ(live.window.gauge.MaxValue(), 24438);
    live.RunToEnd();
    EXPECT_EQ(live.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(live.window.Panel(Panel::SectorsTotal), "Sectors Total : 24438784");
    EXPECT_EQ(live.window.Panel(Panel::BlocksRead), "Blocks Read : 24438");
    const auto lines = fakes::Results(live.dataList);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().BlockIndex, 24437);
    EXPECT_EQ(live.state.ErrorCount, 0);
    EXPECT_EQ(live.window.gauge.Progress(), 24438);

    fakes::NativeProgram replay("");
    fakes::Replay(replay, live.dataList, dir / "bd50.dat");
    EXPECT_EQ(replay.state.Layout, live.state.Layout);
    fixtures::ExpectSameChartButTheCurve(live.chart.bitmap, replay.chart.bitmap,
                                         {.left = 400, .top = 282, .right = 591, .bottom = 316});
}

struct Boundary {
    const char* name;
    std::uint32_t sectors;
    bool cdChart;
    Medium medium;
};

class LayoutBoundary : public ::testing::TestWithParam<Boundary> {};

TEST_P(LayoutBoundary, LiveRunAndItsReplayChooseTheSameChart) {
    const Boundary& b = GetParam();
    auto disc = fakes::SmallDisc(b.sectors);
    disc.mediumSectors = std::max<std::int64_t>(b.sectors, 4000);
    fakes::Program live(disc);
    ASSERT_TRUE(live.Start());
    EXPECT_EQ(live.state.VolumeSize, b.sectors);
    live.state.StopRequest = true;
    live.Tick();  // ends the run with what the start measured
    EXPECT_EQ(live.state.Layout.IsCdChart(), b.cdChart);
    EXPECT_EQ(live.state.Layout.medium, b.medium);
    EXPECT_EQ(live.window.panelWidths,
              b.medium == Medium::CD ? PanelWidths::Classic : PanelWidths::Wide);
    if (b.cdChart) {
        EXPECT_EQ(live.state.XScale, 1.452);
        EXPECT_EQ(live.state.SpeedFullScale, 8400);
    }

    const fixtures::TempDir dir;
    fakes::Program replay;
    fakes::Replay(replay, live.dataList, dir / "run.dat");
    EXPECT_EQ(replay.state.Layout, live.state.Layout);
    EXPECT_EQ(replay.state.XScale, live.state.XScale);
    EXPECT_EQ(replay.window.panelWidths, live.window.panelWidths);
    if (b.sectors == 0) {
        return;  // a file without a size has no end-of-volume marker
    }
    for (int y = 14; y < live.chart.bitmap.Height(); ++y) {
        for (int x = 0; x < live.chart.bitmap.Width(); ++x) {
            ASSERT_EQ(replay.Pixel(x, y), live.Pixel(x, y)) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutBoundary,
    ::testing::Values(Boundary{"Empty", 0, true, Medium::CD},
                      Boundary{"LastOnTheCdAxis", 380999, true, Medium::CD},
                      Boundary{"FirstPastTheCdAxis", 381000, false, Medium::CD},
                      Boundary{"LongestCd", 450000, false, Medium::CD},
                      Boundary{"SmallestDvd", 450001, false, Medium::DVD},
                      Boundary{"DualLayerDvd", 4173824, false, Medium::DVD},
                      Boundary{"SmallestBluRay", 4173825, false, Medium::BluRay},
                      Boundary{"LargestIn24Bits", 16777215, false, Medium::BluRay},
                      Boundary{"SmallestBeyond24Bits", 16777216, false, Medium::BluRay}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LargeVolume, HostileSizesInAFileReplaySafely) {
    const fixtures::TempDir dir;
    const struct {
        const char* size;
        bool cdChart;
        Medium medium;
    } cases[] = {{"-5", true, Medium::CD},
                 {"-2147483648", true, Medium::CD},
                 {"2147483647", false, Medium::BluRay},
                 {"1e300", false, Medium::BluRay}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        results::DataList file{"[VolInfo]",
                               std::string("VolSize=") + c.size,
                               "",
                               "[TransferResults]",
                               "1 30000",
                               "3 60000",
                               "2147483647 0"};
        fakes::Program p;
        fakes::Replay(p, file, dir / "hostile.dat");
        EXPECT_EQ(p.state.Layout.IsCdChart(), c.cdChart);
        EXPECT_EQ(p.state.Layout.medium, c.medium);
        EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
        if (std::string(c.size) == "2147483647") {
            const std::int32_t marker = results::SectorToX(p.state, p.state.VolumeSize);
            EXPECT_LE(marker, 581);
            EXPECT_EQ(p.Pixel(marker, 15), kMarker);
        }
    }
}

// The speeds of a whole run: all measured blocks inside the medium's scale, the fastest near
// the drive's top speed.
void ExpectRunInsideItsScale(const std::string& entry, Medium medium, double topKBs) {
    SCOPED_TRACE(entry);
    fakes::NativeProgram p(entry);
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(p.state.Layout.medium, medium);
    const double fullScale = results::FullScaleKBs(medium);
    for (const auto& r : fakes::Results(p.dataList)) {
        ASSERT_LE(r.Speed, fullScale) << r.BlockIndex;
    }
    // Within a millisecond tick of the top speed: reads of 800 sectors take 30 ms and more.
    EXPECT_LE(p.state.MaxSpeed, 1.035 * topKBs);
    EXPECT_GT(p.state.MaxSpeed, 0.97 * topKBs);
}

TEST(SimulatedMedia, DvdAndBluRayRunsStayInsideTheirScale) {
    ExpectRunInsideItsScale("sim-dvd-unpaced", Medium::DVD, 16 * 1385000.0 / 1024);
    ExpectRunInsideItsScale("sim-bd-unpaced", Medium::BluRay, 12 * 4500000.0 / 1024);
}

TEST(ReadSpeed, TheDriveReadsAtTheChosenSpeedAndIsSetBackAfterTheRun) {
    auto disc = fakes::SmallDisc(40000);  // 8000 KB/s of its own
    fakes::Program capped(disc);
    capped.window.readSpeed = 16;
    ASSERT_TRUE(capped.Start());
    EXPECT_EQ(capped.drive->SpeedCap(), 2400.0);
    EXPECT_TRUE(capped.state.ReadSpeedTaken);
    capped.RunToEnd();
    EXPECT_EQ(capped.drive->SpeedCap(), std::nullopt);
    for (const auto& r : fakes::Results(capped.dataList)) {
        ASSERT_LE(r.Speed, 2400) << r.BlockIndex;
        ASSERT_GE(r.Speed, 2390) << r.BlockIndex;
    }

    // A stop, or a start that fails after the drive took the speed, sets it back too.
    fakes::Program stopped(disc);
    stopped.window.readSpeed = 4;
    ASSERT_TRUE(stopped.Start());
    stopped.state.StopRequest = true;
    stopped.Tick();
    EXPECT_EQ(stopped.drive->SpeedCap(), std::nullopt);
    auto tiny = fakes::SmallDisc(900);
    fakes::Program failed(tiny);
    failed.window.readSpeed = 8;
    EXPECT_FALSE(failed.Start());
    EXPECT_EQ(failed.drive->SpeedCap(), std::nullopt);

    // Max asks nothing of the drive.
    fakes::Program fastest(disc);
    ASSERT_TRUE(fastest.Start());
    EXPECT_TRUE(fastest.state.ReadSpeedTaken);
    EXPECT_EQ(fastest.drive->SpeedCap(), std::nullopt);

    // A drive that refuses is measured at its own speed.
    disc.refusesReadSpeed = true;
    fakes::Program refusing(disc);
    refusing.window.readSpeed = 16;
    ASSERT_TRUE(refusing.Start());
    EXPECT_FALSE(refusing.state.ReadSpeedTaken);
    refusing.RunToEnd();
    EXPECT_EQ(refusing.state.MaxSpeed, 8000);
}

}  // namespace
