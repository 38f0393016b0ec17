// Whole runs on the simulated drive: start, ticks, the end, stopping and the sequencer.
#include <gtest/gtest.h>

#include "engine/Sequencer.h"
#include "results/NumberText.h"
#include "results/ResultsDocument.h"
#include "support/RunFakes.h"

using fakes::Program;
using platform::SimRead;
using run::Control;
using run::MenuMark;
using run::Panel;

namespace {

constexpr platform::Color kBlack = 0x000000;
constexpr platform::Color kRed = 0x0000FF;
constexpr platform::Color kCyan = 0xE0E000;
constexpr platform::Color kMarker = 0xD0D0D0;

platform::SimDiscParams Disc(std::uint32_t sectors, std::int64_t medium = -1) {
    auto p = fakes::SmallDisc(sectors);
    if (medium >= 0) {
        p.mediumSectors = medium;
    }
    return p;
}

bool RowHasColor(const Program& p, int y, int x0, int x1, platform::Color c) {
    for (int x = x0; x < x1; ++x) {
        if (p.Pixel(x, y) == c) {
            return true;
        }
    }
    return false;
}

bool AreaHasColor(const Program& p, int x0, int y0, int x1, int y1, platform::Color c) {
    for (int y = y0; y < y1; ++y) {
        if (RowHasColor(p, y, x0, x1, c)) {
            return true;
        }
    }
    return false;
}

// The blocks of the run's timed reads after the first, in order.
std::vector<std::int64_t> TimedBlocks(const Program& p, std::int64_t dataSectors) {
    std::vector<std::int64_t> blocks;
    const auto& log = p.drive->ReadLog();
    for (std::size_t i = 3; i < log.size(); ++i) {
        if (log[i].count == dataSectors) {
            blocks.push_back(log[i].first / 1000);
        }
    }
    return blocks;
}

}  // namespace

TEST(RunStart, PreparesTheWholeRun) {
    Program p(Disc(333000));
    ASSERT_FALSE(p.startStatus.has_value());
    p.window.panels[static_cast<int>(Panel::BlocksRead)] = "Blocks Read : 99";
    ASSERT_TRUE(p.Start());

    const std::vector<SimRead> reads{{16, 1, true}, {16, 984, true}, {1000, 800, true}};
    EXPECT_EQ(p.drive->ReadLog(), reads);
    EXPECT_EQ(p.state.BlockIndex, 1);
    EXPECT_EQ(p.state.ErrorCount, 0);
    EXPECT_EQ(p.state.BlockTicks, 200);
    EXPECT_EQ(p.state.CurSpeed, 8000.0);
    EXPECT_EQ(p.state.MaxSpeed, 8000.0);
    EXPECT_EQ(p.state.DriveName, "CDROM");
    EXPECT_EQ(p.state.VolumeLabel.str(), "SMALL" + std::string(27, ' '));
    EXPECT_EQ(p.state.OSName.str(), "Linux 6.1.0-28-amd64");

    EXPECT_EQ(p.window.Panel(Panel::State), "Proceed...");
    EXPECT_EQ(p.window.Panel(Panel::SectorsTotal), "Sectors Total : 333000");
    EXPECT_EQ(p.window.Panel(Panel::BlocksRead), "Blocks Read : 99");  // not this step's
    EXPECT_EQ(p.window.gauge.MaxValue(), 333);
    EXPECT_EQ(p.window.gauge.Progress(), 0);
    EXPECT_TRUE(p.window.timer);
    EXPECT_EQ(p.window.focus, Control::StopButton);
    EXPECT_FALSE(p.window.IsEnabled(Control::StartButton));
    EXPECT_FALSE(p.window.IsEnabled(Control::DriveList));
    EXPECT_FALSE(p.window.IsEnabled(Control::FilesMenu));
    EXPECT_TRUE(p.window.IsEnabled(Control::StopButton));
    EXPECT_NE(p.state.DeviceHandle, nullptr);

    ASSERT_EQ(p.dataList.size(), 23u);
    EXPECT_EQ(p.dataList[0], "[Builder]");
    EXPECT_EQ(p.dataList[1], "Program=Discometer v2.32");
    EXPECT_EQ(p.dataList[18], "VolLabel=SMALL" + std::string(27, ' '));
    EXPECT_EQ(p.dataList[19], "VolSize=333000");
    EXPECT_EQ(p.dataList[21], "[TransferResults]");
    EXPECT_EQ(p.dataList[22], "1 8000");

    // Dotted disc-size marker at x 513 with opaque gaps, the title in the top row, and the
    // curve starting on the left edge at the first speed's height (29).
    EXPECT_EQ(p.Pixel(513, 15), kMarker);
    EXPECT_EQ(p.Pixel(513, 18), kBlack);
    EXPECT_TRUE(AreaHasColor(p, 120, 1, 400, 14, kCyan));
    EXPECT_EQ(p.chart.canvas.PenPos(), (platform::Point{30, 29}));
}

TEST(RunStart, FirstTimedReadFollowsTheSequencer) {
    for (const auto& [item, sectors] :
         {std::pair{MenuMark::N1000, 1000}, {MenuMark::N800, 800}, {MenuMark::N600, 600}}) {
        Program p;
        engine::SelectSequencer(p.window, item);
        ASSERT_TRUE(p.Start());
        EXPECT_EQ(p.drive->ReadLog().back(), (SimRead{1000, sectors, true}));
        EXPECT_EQ(p.state.DataSectors, sectors);
        EXPECT_EQ(p.state.CurSpeed, 8000.0);  // the same scale whatever the setting
    }
}

TEST(RunStart, FailsAtEachExitWithTheErrorSoundAlone) {
    struct Exit {
        const char* name;
        std::function<void(Program&)> arrange;
        std::size_t readsMade;
    };
    const std::vector<Exit> exits{
        {"no drive", [](Program& p) { p.state.NoDrive = true; }, 0},
        {"open", [](Program& p) { p.system.openFails = true; }, 0},
        {"descriptor", [](Program&) {}, 1},
        {"first read", [](Program&) {}, 2},
        {"timed read", [](Program&) {}, 3},
    };
    for (std::size_t i = 0; i < exits.size(); ++i) {
        platform::SimDiscParams disc = fakes::SmallDisc();
        if (i == 2) {
            disc.unreadable = {{16, 16}};
        } else if (i == 3) {
            disc.unreadable = {{500, 500}};
        } else if (i == 4) {
            disc.mediumSectors = 1500;  // the first timed read runs past the end
        }
        Program p(disc);
        exits[i].arrange(p);
        p.dataList = {"earlier line"};
        p.window.SetPanelText(Panel::State, "Complete");
        const int chartChangesBefore = p.window.chartChanges;

        EXPECT_FALSE(p.Start()) << exits[i].name;
        EXPECT_EQ(p.prompts.sounds, std::vector<std::string>{"ERROR"}) << exits[i].name;
        EXPECT_EQ(p.drive->ReadLog().size(), exits[i].readsMade) << exits[i].name;
        EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
        EXPECT_FALSE(p.window.timer);
        EXPECT_TRUE(p.window.IsEnabled(Control::StartButton));
        EXPECT_TRUE(p.window.IsEnabled(Control::DriveList));
        EXPECT_TRUE(p.window.IsEnabled(Control::FilesMenu));
        EXPECT_EQ(p.state.DeviceHandle, nullptr) << exits[i].name;
        if (i == 0) {
            EXPECT_EQ(p.dataList.size(), 1u);  // nothing changed at all
            EXPECT_EQ(p.window.chartChanges, chartChangesBefore);
        } else {
            EXPECT_TRUE(p.dataList.empty()) << exits[i].name;
            EXPECT_EQ(p.state.ProgramTitle, "Discometer v2.32");
        }
    }
}

TEST(RunStart, FirstReadFasterThanFullScaleIsPlottedOnTop) {
    Program p;
    p.drive->ScriptDurations({1, 1, 100});  // 800 sectors in 100 ms: 16,000 KB/s
    ASSERT_TRUE(p.Start());
    EXPECT_EQ(p.state.MaxSpeed, 16000.0);
    EXPECT_EQ(p.state.MinSpeed, 16000.0);
    EXPECT_EQ(p.state.CurSpeed, 8400.0);
    EXPECT_EQ(p.dataList.back(), "1 8400");
    EXPECT_EQ(p.chart.canvas.PenPos(), (platform::Point{30, 15}));
}

TEST(MeasurementLoop, DiscOf333000SectorsEndsCompleteAtBlock333) {
    Program p(Disc(333000));
    ASSERT_TRUE(p.Start());
    p.RunToEnd();

    std::vector<std::int64_t> expected;
    for (std::int64_t b = 3; b <= 333; b += 2) {
        expected.push_back(b);
    }
    EXPECT_EQ(TimedBlocks(p, 800), expected);
    EXPECT_EQ(p.drive->ReadLog().back(), (SimRead{333000, 800, false}));
    EXPECT_EQ(p.dataList.back(), "331 8000");
    EXPECT_EQ(p.dataList.size(), 23u + 165u);
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(p.window.Panel(Panel::BlocksRead), "Blocks Read : 333");
    EXPECT_EQ(p.window.Panel(Panel::BlocksError), "Blocks Error : 0");
    EXPECT_EQ(p.window.Panel(Panel::Speed), "Transfer Speed Kb/s : 8000");
    EXPECT_EQ(p.window.gauge.Progress(), 333);
    EXPECT_EQ(p.window.gauge.PercentDone(), 100);
    EXPECT_EQ(p.state.ErrorCount, 0);
    EXPECT_EQ(p.prompts.sounds, std::vector<std::string>{"DONE"});
    EXPECT_EQ(p.state.DeviceHandle, nullptr);

    // The run's end: controls back, save commands offered, summary on the chart.
    EXPECT_FALSE(p.window.timer);
    EXPECT_TRUE(p.window.IsEnabled(Control::StartButton));
    EXPECT_TRUE(p.window.IsEnabled(Control::DriveList));
    EXPECT_TRUE(p.window.IsEnabled(Control::FilesMenu));
    EXPECT_TRUE(p.window.IsEnabled(Control::SaveGraphic));
    EXPECT_TRUE(p.window.IsEnabled(Control::SaveData));
    EXPECT_EQ(p.window.focus, Control::StartButton);
    EXPECT_TRUE(p.prompts.messages.empty());
    EXPECT_TRUE(AreaHasColor(p, 40, 25, 200, 38, kCyan));     // program title
    EXPECT_TRUE(AreaHasColor(p, 454, 282, 590, 295, kCyan));  // 8000 > 5000: low row
}

TEST(MeasurementLoop, DiscOf333900SectorsMeasuresBlock333) {
    Program p(Disc(333900));
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    EXPECT_EQ(p.drive->ReadLog().back(), (SimRead{333000, 800, true}));
    EXPECT_EQ(p.dataList.back(), "333 8000");
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
    // The gauge counts whole blocks: the last 900 sectors make none, and the end is 100 %.
    EXPECT_EQ(p.window.gauge.MaxValue(), 333);
    EXPECT_EQ(p.window.gauge.PercentDone(), 100);
    EXPECT_EQ(p.prompts.sounds, std::vector<std::string>{"DONE"});
}

TEST(MeasurementLoop, UnreadableUntimedBlockIsMarkedAndShiftsThePairing) {
    platform::SimDiscParams disc = Disc(200000);
    disc.unreadable = {{100500, 100500}};
    Program p(disc);
    ASSERT_TRUE(p.Start());
    p.RunToEnd();

    const auto& lines = p.dataList;
    const auto at = std::find(lines.begin(), lines.end(), "100 0");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at - 1), "99 8000");
    EXPECT_EQ(*(at + 1), "102 8000");  // block 101 read untimed, 102 timed
    const auto timed = TimedBlocks(p, 800);
    EXPECT_NE(std::find(timed.begin(), timed.end(), 102), timed.end());
    EXPECT_EQ(p.state.ErrorCount, 1);
    EXPECT_EQ(p.state.MinSpeed, 0.0);
    EXPECT_EQ(p.window.Panel(Panel::BlocksError), "Blocks Error : 1");

    // A red 2 x 2 square under x 175, and the curve down to the zero line there.
    for (const auto& [x, y] : {std::pair{175, 325}, {176, 325}, {175, 326}, {176, 326}}) {
        EXPECT_EQ(p.Pixel(x, y), kRed) << x << "," << y;
    }
    EXPECT_NE(p.Pixel(177, 325), kRed);
    EXPECT_NE(p.Pixel(175, 327), kRed);
    EXPECT_TRUE(AreaHasColor(p, 173, 300, 176, 324, kCyan));  // the drop to the zero line
    EXPECT_EQ(p.Pixel(175, 324), kCyan);                      // where the next segment starts
}

TEST(MeasurementLoop, UnreadableTimedBlockIsMarkedAndKeepsThePairing) {
    platform::SimDiscParams disc = Disc(200000);
    disc.unreadable = {{101500, 101500}};
    Program p(disc);
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    const auto at = std::find(p.dataList.begin(), p.dataList.end(), "101 0");
    ASSERT_NE(at, p.dataList.end());
    EXPECT_EQ(*(at + 1), "103 8000");
    EXPECT_EQ(p.state.ErrorCount, 1);
    EXPECT_EQ(p.Pixel(176, 325), kRed);  // x of block 101
    EXPECT_EQ(p.Pixel(177, 326), kRed);
    EXPECT_NE(p.Pixel(175, 325), kRed);
}

TEST(MeasurementLoop, SpeedAboveFullScaleIsKeptWholeButPlottedOnTop) {
    Program p;
    ASSERT_TRUE(p.Start());
    p.drive->ScriptDurations({250, 50});  // untimed, then 800 sectors in 50 ms
    p.Tick();
    EXPECT_EQ(p.dataList.back(), "3 32000");
    EXPECT_EQ(p.window.Panel(Panel::Speed), "Transfer Speed Kb/s : 32000");
    EXPECT_EQ(p.state.MaxSpeed, 32000.0);
    EXPECT_EQ(p.state.PointY, 15.0);
    EXPECT_EQ(p.chart.canvas.PenPos(), (platform::Point{34, 15}));
}

TEST(MeasurementLoop, ClockStandingStillCountsOneMillisecond) {
    Program p;
    ASSERT_TRUE(p.Start());
    p.drive->ScriptDurations({250, 0});
    p.Tick();
    EXPECT_EQ(p.state.BlockTicks, 1);
    EXPECT_EQ(p.dataList.back(), "3 1600000");
}

TEST(EndOfRun, SummaryRowMovesDownOnlyAboveFiveThousand) {
    for (const auto& [max, row] : {std::pair{5000.0, 25}, {5000.5, 282}}) {
        Program p;
        ASSERT_TRUE(p.Start());
        p.state.MaxSpeed = max;
        p.state.StopRequest = true;
        p.Tick();
        const int other = row == 25 ? 282 : 25;
        EXPECT_TRUE(AreaHasColor(p, 454, row, 590, row + 13, kCyan)) << max;
        EXPECT_TRUE(AreaHasColor(p, 454, row + 20, 590, row + 33, kCyan)) << max;
        EXPECT_FALSE(AreaHasColor(p, 454, other, 590, other + 13, kCyan)) << max;
    }
}

TEST(Stop, EndsTheRunAtTheNextTickWithoutReading) {
    Program p;
    ASSERT_TRUE(p.Start());
    p.Tick();
    const std::size_t reads = p.drive->ReadLog().size();
    const std::size_t lines = p.dataList.size();
    p.state.StopRequest = true;  // the Stop button
    p.Tick();
    EXPECT_EQ(p.drive->ReadLog().size(), reads);
    EXPECT_EQ(p.dataList.size(), lines);
    EXPECT_FALSE(p.state.StopRequest);
    EXPECT_EQ(p.window.Panel(Panel::State), "System Stopped");
    EXPECT_TRUE(p.prompts.sounds.empty());
    EXPECT_FALSE(p.window.timer);
    EXPECT_EQ(p.state.DeviceHandle, nullptr);
    EXPECT_TRUE(p.window.IsEnabled(Control::SaveData));
    EXPECT_TRUE(p.window.IsEnabled(Control::StartButton));
}

TEST(Stop, WhileIdleIsClearedByTheNextStart) {
    Program p;
    p.state.StopRequest = true;
    ASSERT_TRUE(p.Start());
    EXPECT_FALSE(p.state.StopRequest);
    p.RunToEnd();
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(p.dataList.back(), "19 8000");
}

TEST(Sequencer, MarksMoveAtOnceButARunKeepsItsSetting) {
    Program p;
    EXPECT_TRUE(p.window.IsChecked(MenuMark::N800));
    ASSERT_TRUE(p.Start());
    engine::SelectSequencer(p.window, MenuMark::N600);
    engine::SelectSequencer(p.window, MenuMark::N1000);
    EXPECT_EQ(p.window.checked, (std::set<MenuMark>{MenuMark::N1000}));
    p.RunToEnd();
    EXPECT_EQ(TimedBlocks(p, 800).size(), 9u);

    // The next run times whole blocks: untimed and timed reads form one sequential read.
    Program q;
    engine::SelectSequencer(q.window, MenuMark::N1000);
    engine::SelectSequencer(q.window, MenuMark::N1000);  // clicking it again changes nothing
    EXPECT_EQ(q.window.checked, (std::set<MenuMark>{MenuMark::N1000}));
    ASSERT_TRUE(q.Start());
    q.RunToEnd();
    EXPECT_EQ(q.state.DataSectors, 1000);
    const auto& log = q.drive->ReadLog();
    for (std::size_t i = 3; i + 1 < log.size(); ++i) {
        EXPECT_EQ(log[i].first, log[i - 1].first + log[i - 1].count) << i;
    }
}

TEST(Sequencer, MarksAreSetInOrderSixHundredEightHundredThousand) {
    fakes::FakeWindow window;
    engine::SelectSequencer(window, MenuMark::N1000);
    const std::vector<std::pair<MenuMark, bool>> order{
        {MenuMark::N600, false}, {MenuMark::N800, false}, {MenuMark::N1000, true}};
    EXPECT_EQ(window.markLog, order);
    window.checked = {MenuMark::N600, MenuMark::N800};
    EXPECT_EQ(engine::DataSectorsFromMarks(window), 800);
    window.checked = {};
    EXPECT_EQ(engine::DataSectorsFromMarks(window), 1000);
}
