// Whole runs in the window under faults: unreadable areas, a vanishing disc, short reads, a
// clock that stands still or wraps, Stop at every tick, and saves that cannot be written.
#include <sys/mount.h>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/BmpFile.h"
#include "results/ChartFrame.h"
#include "support/RunFakes.h"
#include "support/WindowFixture.h"

namespace fs = std::filesystem;
using fixtures::InTempDir;
using fixtures::Window;
using platform::SimRead;
using run::Panel;

namespace {

constexpr platform::Color kRed = 0x0000FF;

struct Result {
    std::int32_t block;
    std::string speed;
};

// The result lines after the first.
std::vector<Result> BlockResults(const results::DataList& list) {
    std::vector<Result> out;
    const auto header = std::find(list.begin(), list.end(), "[TransferResults]");
    for (auto it = header + 2; header != list.end() && it < list.end(); ++it) {
        const auto blank = it->find(' ');
        out.push_back({std::stoi(it->substr(0, blank)), it->substr(blank + 1)});
    }
    return out;
}

// Checks every read the drive saw against what the run made of it.
void ExpectOutcomesMatchTheDrive(Window& w, const char* what) {
    ui::qt::TForm1& f = *w.form;
    const auto& s = f.State();
    const auto& log = w.drive->ReadLog();
    const auto lines = BlockResults(f.Document());
    ASSERT_GE(log.size(), 3u) << what;
    std::size_t line = 0;
    int errors = 0;
    // The reads after run start come as an untimed read, then a timed one if it succeeded.
    for (std::size_t i = 3; i < log.size(); ++i) {
        const SimRead& untimed = log[i];
        ASSERT_EQ(untimed.count, 1000) << what << " read " << i;
        const SimRead* failed = untimed.ok ? nullptr : &untimed;
        std::int64_t block = untimed.first / 1000;
        if (untimed.ok) {
            ASSERT_LT(i + 1, log.size()) << what;
            const SimRead& timed = log[++i];
            ASSERT_EQ(timed.first, untimed.first + 1000) << what;
            block = timed.first / 1000;
            failed = timed.ok ? nullptr : &timed;
        }
        if (failed != nullptr && static_cast<double>(failed->first) >= s.VolumeSize - 1000) {
            EXPECT_EQ(i + 1, log.size()) << what << ": the end of the volume ends the run";
            break;
        }
        ASSERT_LT(line, lines.size()) << what;
        EXPECT_EQ(lines[line].block, block) << what;
        if (failed != nullptr) {
            ++errors;
            EXPECT_EQ(lines[line].speed, "0") << what << " block " << block;
            const int x = results::SectorToX(s, static_cast<double>(failed->first));
            EXPECT_EQ(f.ChartPicture().bitmap.Pixel(x, 325), kRed) << what << " block " << block;
        } else {
            EXPECT_NE(lines[line].speed, "0") << what << " block " << block;
        }
        ++line;
    }
    EXPECT_EQ(line, lines.size()) << what;
    EXPECT_EQ(s.ErrorCount, errors) << what;
    EXPECT_EQ(w.Panel(Panel::State), "Complete") << what;
    EXPECT_FALSE(f.Timer1()->isActive()) << what;
    EXPECT_TRUE(f.Button1()->isEnabled()) << what;
}

}  // namespace

TEST(Faults, UnreadableSectorsAnywhereAreCountedMarkedAndRecorded) {
    std::mt19937 random(11);
    for (int round = 0; round < 12; ++round) {
        platform::SimDiscParams disc = fakes::SmallDisc(60000 + random() % 5000);
        for (int i = 0; i < 25; ++i) {
            const auto first =
                static_cast<std::int64_t>(2000 + random() % 64000);  // after what run start reads
            disc.unreadable.push_back({first, first + static_cast<std::int64_t>(random() % 3000)});
        }
        disc.unreadable.push_back({16000, 16000});  // always some error mid-disc
        Window w(disc);
        w.form->Button1Click();
        w.RunToEnd();
        ExpectOutcomesMatchTheDrive(w, ("round " + std::to_string(round)).c_str());
    }
}

TEST(Faults, ADiscTakenOutOrChangedEndsTheRunAtTheReadThatFoundItGone) {
    struct Row {
        const char* name;
        platform::DiscState says;
        const char* state;
    };
    for (const Row& row : {
             Row{"taken out", platform::DiscState::Removed, "Disc Removed"},
             Row{"another disc put in", platform::DiscState::Changed, "Disc Changed"},
         }) {
        SCOPED_TRACE(row.name);
        InTempDir temp;
        platform::SimDiscParams disc = fakes::SmallDisc(40000);
        disc.vanishAfterReads = 20;
        disc.vanishesAs = row.says;
        Window w(disc);
        ui::qt::TForm1& f = *w.form;
        f.AutoSave1()->trigger();
        f.Button1Click();
        EXPECT_LT(w.RunToEnd(), 20);

        const auto& log = w.drive->ReadLog();
        ASSERT_EQ(log.size(), 21u) << "nothing is read after the read that found the disc gone";
        EXPECT_FALSE(log.back().ok);
        const auto& s = f.State();
        EXPECT_EQ(s.DiscGone, row.says);
        EXPECT_EQ(s.ErrorCount, 0) << "the read of an empty drive is no unreadable block";
        const auto lines = BlockResults(f.Document());
        ASSERT_FALSE(lines.empty());
        EXPECT_LT(lines.back().block, s.BlockIndex);
        for (const Result& r : lines) {
            EXPECT_NE(r.speed, "0") << "block " << r.block;
        }
        const int x = results::SectorToX(s, static_cast<double>(log.back().first));
        EXPECT_NE(f.ChartPicture().bitmap.Pixel(x, 325), kRed);

        // Ended as a stopped run ends: drive let go, summary drawn, files saved as chosen.
        EXPECT_EQ(w.Panel(Panel::State), row.state);
        EXPECT_FALSE(w.drive->Held());
        EXPECT_FALSE(f.Timer1()->isActive());
        EXPECT_TRUE(f.Button1()->isEnabled());
        EXPECT_EQ(fixtures::ReadBytes(fixtures::kSmallLabel + std::string(".dat")),
                  results::DocumentBytes(f.Document()));
        EXPECT_TRUE(fs::exists(fixtures::kSmallLabel + std::string(".bmp")));
    }
}

TEST(Faults, ADiscGoneFromADriveThatCannotTellCountsEveryLaterBlock) {
    platform::SimDiscParams disc = fakes::SmallDisc(40000);
    disc.vanishAfterReads = 20;
    disc.vanishesAs = platform::DiscState::Present;
    Window w(disc);
    w.form->Button1Click();
    const int ticks = w.RunToEnd();
    EXPECT_LT(ticks, 100);
    ExpectOutcomesMatchTheDrive(w, "vanished");
    EXPECT_GT(w.form->State().ErrorCount, 15);
}

TEST(Faults, AMediumShorterThanItsVolumeCountsTheMissingBlocks) {
    for (const auto mode : {platform::EndOfMedium::ShortRead, platform::EndOfMedium::Fail}) {
        platform::SimDiscParams disc = fakes::SmallDisc(30000);
        disc.mediumSectors = 24500;
        disc.endOfMedium = mode;
        Window w(disc);
        w.form->Button1Click();
        w.RunToEnd();
        ExpectOutcomesMatchTheDrive(w, "short medium");
        EXPECT_GE(w.form->State().ErrorCount, 4);
    }
}

TEST(Faults, AClockThatStandsStillOrWrapsGivesFiniteSpeeds) {
    platform::SimDiscParams disc = fakes::SmallDisc(20000);
    disc.clockStart = 0xFFFFF000u;  // wraps about four seconds into the run
    Window w(disc);
    w.drive->ScriptDurations({0, 0, 0, 0, 0, 0, 0});
    w.form->Button1Click();
    w.RunToEnd();
    ExpectOutcomesMatchTheDrive(w, "clock");
    for (const auto& r : BlockResults(w.form->Document())) {
        EXPECT_LE(std::stod(r.speed), 2000000.0);
        EXPECT_GE(std::stod(r.speed), 0.0);
    }
    EXPECT_EQ(w.form->Document()[22], "1 8400");  // a still clock: one tick, clamped
}

TEST(Faults, StopAtEveryTickEndsTheRunWithWhatWasMeasured) {
    const int ticks = [] {
        Window w;
        w.form->Button1Click();
        return w.RunToEnd();
    }();
    for (int k = 0; k <= ticks; ++k) {
        Window w;
        ui::qt::TForm1& f = *w.form;
        f.Button1Click();
        for (int i = 0; i < k && f.Timer1()->isActive(); ++i) {
            f.Timer1Timer();
        }
        f.Button2()->click();
        w.RunToEnd();
        const bool ranOut = k == ticks;
        EXPECT_EQ(w.Panel(Panel::State), ranOut ? "Complete" : "System Stopped") << k;
        EXPECT_EQ(BlockResults(f.Document()).size(),
                  static_cast<std::size_t>(std::min(k, ticks - 1)))
            << k;
        EXPECT_FALSE(f.Timer1()->isActive()) << k;
        EXPECT_EQ(f.State().DeviceHandle, nullptr) << k;
        EXPECT_TRUE(f.SaveData1()->isEnabled()) << k;
    }
}

TEST(Faults, SavesThatCannotBeWrittenLeaveEarlierFilesAndTheRunIntact) {
    InTempDir temp;
    std::ofstream("plain-file") << "x";
    std::ofstream("kept.dat") << "earlier document";
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1Click();
    w.RunToEnd();
    const results::DataList document = f.Document();
    const platform::Bitmap chart = f.ChartPicture().bitmap;

    const std::string longName(300, 'n');
    w.prompts->answers = {"plain-file/run.bmp", longName + ".bmp"};
    f.SaveGraphic2()->trigger();
    f.SaveGraphic2()->trigger();
    w.prompts->answers = {"plain-file/run.dat", longName + ".dat"};
    f.SaveData1()->trigger();
    f.SaveData1()->trigger();
    EXPECT_EQ(w.prompts->errors.size(), 4u);
    EXPECT_EQ(w.prompts->errors[0], "Cannot create file plain-file/run.bmp: Not a directory");
    EXPECT_EQ(f.Document(), document);
    EXPECT_EQ(f.ChartPicture().bitmap, chart);

    w.prompts->answers = {"kept.dat"};
    f.SaveData1()->trigger();  // and a good place still works
    EXPECT_EQ(w.prompts->errors.size(), 4u);
    EXPECT_EQ(fixtures::ReadBytes("kept.dat"), results::DocumentBytes(document));
}

TEST(Faults, AutoSaveOnAFullFileSystemShowsTheFailureAndKeepsEarlierFiles) {
    InTempDir temp;
    fs::create_directory("small");
    if (::mount("tmpfs", "small", "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    struct Unmount {
        ~Unmount() { ::umount2((fs::current_path() / "small").c_str(), MNT_DETACH); }
    } unmount;
    const std::string base = fixtures::kSmallLabel;
    std::ofstream("small/" + base + ".bmp") << "earlier picture";
    {
        std::ofstream filler("small/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
    }
    // Room for the data file, far too little for the picture.
    fs::resize_file("small/filler", fs::file_size("small/filler") - 8192);
    fs::current_path("small");
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.AutoSave1()->trigger();
    f.Button1Click();
    w.RunToEnd();
    fs::current_path("..");

    EXPECT_EQ(w.prompts->errors,
              std::vector<std::string>{"Cannot create file " +
                                       (fs::current_path() / "small" / (base + ".bmp")).string() +
                                       ": No space left on device"});
    EXPECT_TRUE(w.prompts->messages.empty());
    EXPECT_TRUE(f.SaveGraphic2()->isEnabled());
    EXPECT_TRUE(f.SaveData1()->isEnabled());
    EXPECT_EQ(fixtures::ReadBytes("small/" + base + ".bmp"), "earlier picture");
    // The data file fitted and was written although the picture failed first.
    EXPECT_EQ(fixtures::ReadBytes("small/" + base + ".dat"), results::DocumentBytes(f.Document()));
    for (const auto& e : fs::directory_iterator("small")) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(name == base + ".bmp" || name == base + ".dat" || name == "filler")
            << name;  // no temporary left
    }
    EXPECT_EQ(BlockResults(f.Document()).size(), 9u);  // the results stay in memory
}
