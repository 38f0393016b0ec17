// Loading a data file and replaying it on the chart.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/Files.h"
#include "results/Replay.h"
#include "results/ResultsDocument.h"
#include "support/ChartCompare.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using run::Control;
using run::Panel;

namespace {

constexpr platform::Color kRed = 0x0000FF;
constexpr platform::Color kCyan = 0xE0E000;

fs::path TempFile(const std::string& name) {
    static const fixtures::TempDir dir;
    return dir / name;
}

fs::path WriteFile(const std::string& name, const std::string& bytes) {
    fs::path path = TempFile(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Loads the file through the Load Data dialog of a freshly started program.
void Load(fakes::Program& p, const fs::path& path) {
    p.prompts.answers.push_back(path.string());
    results::LoadData(p.ctx);
}

std::string Lines(std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const auto& l : lines) {
        bytes += l + "\r\n";
    }
    return bytes;
}

const std::string kHeader = Lines(
    {"[Builder]", "Program=P", "Copyright=C", "", "[SysInfo]", "Platform=2", "MajorVersion=4",
     "MinorVersion=0", "", "[VolInfo]", "VolLabel=DISC", "VolSize=20000", "", "[TransferResults]"});

}  // namespace

TEST(Replay, SavedRunReplaysToTheSameChart) {
    platform::SimDiscParams disc = fakes::SmallDisc(120000);
    disc.fixedMsPerSector = 0;  // a CAV drive: speeds with fractions, stored whole
    disc.innerSpeedX = 20;
    disc.outerSpeedX = 50;
    disc.unreadable = {{40500, 40500}, {77000, 77000}};
    fakes::Program live(disc);
    ASSERT_TRUE(live.Start());
    live.RunToEnd();
    const fs::path file = TempFile("run.dat");
    ASSERT_EQ(results::WriteDocument(live.dataList, file.string()), std::error_code());

    fakes::Program replay;
    Load(replay, file);
    EXPECT_EQ(replay.dataList, live.dataList);
    EXPECT_EQ(replay.state.MaxSpeed, std::trunc(live.state.MaxSpeed));
    EXPECT_EQ(replay.state.ErrorCount, 2);
    EXPECT_EQ(replay.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(replay.window.Panel(Panel::BlocksRead), live.window.Panel(Panel::BlocksRead));
    EXPECT_EQ(replay.window.Panel(Panel::BlocksError), "Blocks Error : 2");
    EXPECT_EQ(replay.window.Panel(Panel::SectorsTotal), "Sectors Total : 120000");
    EXPECT_EQ(replay.window.gauge.PercentDone(), 100);
    EXPECT_EQ(replay.state.OSName.str(), "Linux 6.1");  // the replay names the system shorter
    EXPECT_TRUE(replay.prompts.sounds.empty());         // no completion sound

    const auto& a = live.chart.bitmap;
    const auto& b = replay.chart.bitmap;
    ASSERT_NO_FATAL_FAILURE(fixtures::ExpectSameChartButTheCurve(a, b));
    for (int y = 282; y < 315; ++y) {
        for (int x = 454; x < a.Width(); ++x) {
            ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << "summary differs at " << x << "," << y;
        }
    }
    EXPECT_EQ(b.Pixel(30 + 58, 325), kRed);  // the error squares at blocks 40 and 77
    EXPECT_EQ(b.Pixel(30 + 111, 326), kRed);
}

TEST(Replay, MissingSectionsFallBackToTheirDefaults) {
    fakes::Program p;
    Load(p, WriteFile("bare.dat", Lines({"[TransferResults]", "1 4200", "3 0", "5 4200"})));
    EXPECT_EQ(p.state.ProgramTitle, "Builder - Unknown");
    EXPECT_EQ(p.state.CopyrightLine, "Copyright - Unknown");
    EXPECT_EQ(p.state.OSName.str(), "Unknown");
    EXPECT_EQ(p.state.VolumeLabel.str(), "Unknown");
    EXPECT_EQ(p.state.DriveName, "Unknown");
    EXPECT_EQ(p.window.Panel(Panel::SectorsTotal), "Sectors Total : Unknown");
    EXPECT_EQ(p.window.gauge.MaxValue(), 0);
    EXPECT_EQ(p.state.ErrorCount, 1);
    EXPECT_EQ(p.state.MinSpeed, 0.0);
    EXPECT_EQ(p.window.Panel(Panel::BlocksRead), "Blocks Read : 6");
    EXPECT_EQ(p.Pixel(30 + 4, 325), kRed);  // block 3
    for (int y = 15; y <= 324; ++y) {
        EXPECT_NE(p.Pixel(513, y), 0xD0D0D0u);  // no disc-size marker
    }
}

TEST(Replay, NamesTheSystemByTheReplayRule) {
    fakes::Program p;
    Load(p, WriteFile("nt.dat", kHeader + Lines({"1 5000", "3 5000"})));
    EXPECT_EQ(p.state.OSName.str(), "Windows NT4.0");
    EXPECT_EQ(p.state.OSPlatformId, 2u);
    EXPECT_EQ(p.state.OSBuildNumber, (6u << 24) | (1u << 16) | 28u);  // left as it was
    // A maximum of exactly 5000 keeps the summary on the top row.
    bool topRow = false;
    for (int x = 454; x < 590 && !topRow; ++x) {
        for (int y = 25; y < 38; ++y) {
            topRow = topRow || p.Pixel(x, y) == kCyan;
        }
    }
    EXPECT_TRUE(topRow);

    fakes::Program nine;
    Load(nine, WriteFile("98.dat", Lines({"[SysInfo]", "Platform=1", "BuildNumber3=4",
                                          "BuildNumber2=10", "", "[TransferResults]", "1 1"})));
    EXPECT_EQ(nine.state.OSName.str(), "Windows 98");
}

TEST(Replay, FirstResultLineGivesFiveCharactersOfSpeedAndNeverAnError) {
    // Five characters of the first speed are read, where a later line's are read whole.
    fakes::Program p;
    Load(p, WriteFile("long.dat", kHeader + Lines({"1 1234567", "3 1234567"})));
    EXPECT_EQ(p.state.MinSpeed, 12345.0);
    EXPECT_EQ(p.state.MaxSpeed, 1234567.0);

    // A first speed of 0 starts on the baseline, unmarked.
    fakes::Program zero;
    Load(zero, WriteFile("zero.dat", kHeader + Lines({"1 0", "3 8400"})));
    EXPECT_EQ(zero.state.ErrorCount, 0);
    EXPECT_EQ(zero.Pixel(30, 324), kCyan);
    EXPECT_NE(zero.Pixel(30, 325), kRed);
    EXPECT_EQ(zero.state.MinSpeed, 0.0);
}

TEST(Replay, FilesWithoutResultsAreReported) {
    for (const std::string& bytes :
         {std::string(), kHeader.substr(0, kHeader.find("[TransferResults]")), kHeader}) {
        fakes::Program p;
        p.window.SetPanelText(Panel::State, "earlier");
        Load(p, WriteFile("noresults.dat", bytes));
        EXPECT_EQ(p.prompts.sounds, std::vector<std::string>{"ERROR"});
        EXPECT_EQ(p.prompts.messages,
                  std::vector<std::string>{"No right Transfer Results in this file found"});
        EXPECT_EQ(p.window.Panel(Panel::State), "earlier");
        EXPECT_EQ(p.window.Panel(Panel::SectorsTotal).rfind("Sectors Total : ", 0), 0u);
        EXPECT_TRUE(p.window.IsEnabled(Control::StartButton));  // given back
        EXPECT_TRUE(p.window.IsEnabled(Control::LoadData));
    }
    fakes::Program empty;
    Load(empty, WriteFile("empty.dat", ""));
    EXPECT_EQ(empty.state.OSName.str(), "Unknown");
    EXPECT_EQ(empty.window.Panel(Panel::SectorsTotal), "Sectors Total : Unknown");
}

TEST(Replay, OnlyTheFirstResultLineStillEndsTheReplay) {
    fakes::Program p;
    Load(p, WriteFile("one.dat", kHeader + Lines({"1 6000"})));
    EXPECT_TRUE(p.prompts.messages.empty());
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(p.window.Panel(Panel::BlocksRead), "Blocks Read : 2");
    EXPECT_EQ(p.state.MaxSpeed, 6000.0);
    EXPECT_EQ(p.window.gauge.Progress(), 20);
}

TEST(Replay, CancelledOrUnreadableFilesLeaveTheDocument) {
    fakes::Program p;
    p.dataList = {"kept"};
    p.prompts.answers.push_back(std::nullopt);
    results::LoadData(p.ctx);
    Load(p, TempFile("does-not-exist.dat"));
    Load(p, TempFile(""));  // a folder
    EXPECT_EQ(p.dataList, std::vector<std::string>{"kept"});
    ASSERT_EQ(p.prompts.errors.size(), 2u);
    const std::string missing = TempFile("does-not-exist.dat").string();
    const std::error_code reason = platform::ReadRegularFile(missing, 1).error;
    EXPECT_EQ(reason, std::errc::no_such_file_or_directory);
    EXPECT_EQ(p.prompts.errors[0], run::FileErrorText("Cannot open file", missing, reason));
    EXPECT_TRUE(p.prompts.sounds.empty());
}

TEST(Replay, LoadDataOpensTheFileTheUserMeant) {
    const fixtures::TempDir dir;
    for (const char* name : {"noext", "run.dat", "both", "both.dat", "a.b"}) {
        std::ofstream(dir / name) << "x";
    }
    const auto in = [&](const std::string& name) { return (dir / name).string(); };
    struct Row {
        const char* name;
        std::string given;
        std::string opened;
    };
    for (const Row& row : {
             Row{"as given", in("run.dat"), in("run.dat")},
             Row{".dat the dialog added", in("noext.dat"), in("noext")},
             Row{".dat the user left out", in("run"), in("run.dat")},
             Row{"both there: as given", in("both"), in("both")},
             Row{"both there: as given, with .dat", in("both.dat"), in("both.dat")},
             Row{"an extension of its own is no added .dat", in("a.b.dat"), in("a.b.dat")},
             Row{"neither there", in("none"), in("none")},
         }) {
        EXPECT_EQ(results::LoadDataPath(row.given), row.opened) << row.name;
    }

    // Loaded through the dialog: a data file without the extension replays.
    fakes::Program p;
    std::ofstream(dir / "plain", std::ios::binary) << kHeader << Lines({"1 100", "3 200"});
    Load(p, dir / "plain.dat");
    EXPECT_TRUE(p.prompts.errors.empty());
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");
}

TEST(Replay, StartAndLoadAreRefusedWhileItRunsAndClosingEndsIt) {
    fakes::Program p;
    p.window.SetEnabled(Control::LoadData, true);
    std::vector<std::pair<bool, bool>> seen;
    p.prompts.onEvents = [&] {
        seen.emplace_back(p.window.IsEnabled(Control::StartButton),
                          p.window.IsEnabled(Control::LoadData));
    };
    Load(p, WriteFile("three.dat", kHeader + Lines({"1 100", "3 200", "5 300", "7 400"})));
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>(2, {false, false})));
    EXPECT_TRUE(p.window.IsEnabled(Control::StartButton));
    EXPECT_TRUE(p.window.IsEnabled(Control::LoadData));

    fakes::Program closing;
    closing.prompts.onEvents = [&] { closing.window.closing = true; };
    Load(closing, WriteFile("close.dat", kHeader + Lines({"1 100", "3 200", "5 300", "7 400"})));
    EXPECT_EQ(closing.prompts.eventPasses, 1);
    EXPECT_EQ(closing.state.BlockIndex, 3);
    EXPECT_NE(closing.window.Panel(Panel::State), "Complete");
}

TEST(Replay, StopEndsItWhereItIsAndAnEarlierStopDoesNot) {
    const fs::path file =
        WriteFile("stop.dat", kHeader + Lines({"1 100", "3 0", "5 300", "7 400"}));
    fakes::Program p;
    p.state.StopRequest = true;  // pressed after start-up, before the replay
    p.prompts.onEvents = [&] {
        if (p.prompts.eventPasses == 2) {
            p.state.StopRequest = true;  // Stop, during the replay
        }
    };
    Load(p, file);
    EXPECT_EQ(p.prompts.eventPasses, 2);
    EXPECT_EQ(p.state.BlockIndex, 5);  // the line drawn before Stop was pressed
    EXPECT_EQ(p.state.ErrorCount, 1);
    EXPECT_FALSE(p.state.StopRequest);
    EXPECT_EQ(p.window.Panel(Panel::State), "System Stopped");
    EXPECT_EQ(p.window.Panel(Panel::BlocksRead), "Blocks Read : 5");
    EXPECT_TRUE(p.window.IsEnabled(Control::StartButton));

    // Unstopped, the same file is replayed to its end.
    fakes::Program whole;
    Load(whole, file);
    EXPECT_EQ(whole.window.Panel(Panel::State), "Complete");
    EXPECT_EQ(whole.state.BlockIndex, 8);
}

TEST(Replay, HostileValuesAreDrawnSafely) {
    fakes::Program p;
    Load(p, WriteFile("hostile.dat",
                      Lines({"[VolInfo]", "VolSize=-5e300", "", "[TransferResults]", "1 nan",
                             "-2147483648 -1e308", "99999999999 5", "7 nan", "8 inf",
                             "9 " + std::string(5000, '9'), "2147483647 1e308"})));
    EXPECT_EQ(p.window.gauge.MaxValue(), 0);
    EXPECT_EQ(p.state.BlockIndex, 2147483647);  // does not wrap past the last block
    EXPECT_EQ(p.state.ErrorCount, 2);           // "nan" and "inf" read as 0
    EXPECT_TRUE(std::isfinite(p.state.MaxSpeed));

    fakes::Program huge;
    Load(huge, WriteFile("huge.dat", Lines({"[VolInfo]", "VolSize=1e300", "", "[TransferResults]",
                                            "1 100", "3 100"})));
    EXPECT_EQ(huge.window.gauge.MaxValue(), 2147483647);
    EXPECT_EQ(huge.window.Panel(Panel::SectorsTotal).size(), 16u + 301u);
}

TEST(Replay, LargeAndRandomFilesLoadAndReplay) {
    // A million result lines.
    std::string many = kHeader + "1 4000\r\n";
    many.reserve(many.size() + 14'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        many += std::to_string(i * 3 % 400) + ' ' + std::to_string(i % 9000) + "\r\n";
    }
    fakes::Program p;
    Load(p, WriteFile("million.dat", many));
    EXPECT_EQ(p.dataList.size(), 15u + 1'000'000u);
    EXPECT_EQ(p.window.Panel(Panel::State), "Complete");

    // A single line of 10 MB, and random bytes.
    fakes::Program single;
    const std::string digits(10'000'000, '7');  // NOLINT(bugprone-string-constructor): meant
    Load(single, WriteFile("single.dat", "[TransferResults]\r\n1 " + digits));
    EXPECT_EQ(single.window.Panel(Panel::State), "Complete");

    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(random() % 4000, '\0');
        for (char& c : bytes) {
            c = "[]=\r\n 0123456789.e-\0xTransferResults"[random() % 36];
        }
        if (round % 2 == 0) {
            bytes = "[TransferResults]\n" + bytes;
        }
        fakes::Program r;
        Load(r, WriteFile("random.dat", bytes));
        EXPECT_TRUE(r.window.Panel(Panel::State) == "Complete" || !r.prompts.messages.empty());
    }
}
