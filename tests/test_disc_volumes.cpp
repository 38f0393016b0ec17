// The volumes a disc may hold: ISO 9660 or UDF alone or neither, the labels they give, and
// the fine timing of the media beyond a CD.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/VolumeRecognition.h"
#include "platform/SimRouting.h"
#include "results/DocumentHeader.h"
#include "results/ResultsDocument.h"
#include "support/ChartCompare.h"
#include "support/CurrentFolder.h"
#include "support/NativeProgram.h"
#include "support/RunDocuments.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using run::Panel;

namespace {

platform::SimDiscParams UdfDisc(std::uint32_t sectors, const std::string& identifier) {
    platform::SimDiscParams disc = fakes::SmallDisc(sectors);
    disc.udfOnly = true;
    disc.volumeId = identifier;
    return disc;
}

std::string Padded(std::string text) {
    text.resize(32, ' ');
    return text;
}

TEST(DiscVolumes, WhatTheDiscHoldsFromSector16DecidesWhetherAndHowItIsMeasured) {
    std::vector<std::uint8_t> random(2048);
    std::uint32_t x = 7;
    for (auto& b : random) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    platform::SimDiscParams randomDisc = fakes::SmallDisc();
    randomDisc.descriptorSector = random;
    struct Case {
        const char* name;
        platform::SimDiscParams disc;
        bool starts;
        double size;
        std::string label;
    };
    const Case cases[] = {
        {"ISO 9660", fakes::SmallDisc(20000), true, 20000, Padded("SMALL")},
        {"UDF alone: the medium's size", UdfDisc(20000, "HOLIDAY 2026"), true, 20000,
         Padded("HOLIDAY 2026")},
        {"the simulated UDF Blu-ray", platform::DemoBluRayUdf(false), true, 12219392,
         Padded("DISCOMETER_BD_UDF")},
        {"neither: random bytes", randomDisc, false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::Program p(c.disc);
        ASSERT_EQ(p.Start(), c.starts);
        if (!c.starts) {
            EXPECT_EQ(p.window.Panel(Panel::State), "No data volume on this disc");
            EXPECT_EQ(p.prompts.sounds, std::vector<std::string>{"ERROR"});
            EXPECT_TRUE(p.dataList.empty());
            EXPECT_FALSE(p.window.timer);
            EXPECT_TRUE(p.window.IsEnabled(run::Control::StartButton));
            continue;
        }
        EXPECT_EQ(p.state.VolumeSize, c.size);
        EXPECT_EQ(p.state.VolumeLabel.str(), c.label);
        const results::DocumentHeader header = results::ReadDocumentHeader(p.dataList);
        EXPECT_EQ(header.VolLabel, c.label);
        EXPECT_EQ(header.VolSize, c.size);
    }
    EXPECT_TRUE(platform::IsSimulatedEntry("sim-bd-udf"));
}

// A reader of sectors whose volume structure descriptors carry the given identifiers, from
// sector 16 on; an empty identifier is a sector that cannot be read.
engine::SectorReader Descriptors(std::vector<std::string> ids) {
    return [ids = std::move(ids)](std::int64_t sector, std::span<std::uint8_t> dst) {
        const auto i = static_cast<std::size_t>(sector - 16);
        if (sector < 16 || i >= ids.size() || ids[i].empty()) {
            return false;
        }
        std::fill(dst.begin(), dst.end(), std::uint8_t{0});
        std::copy(ids[i].begin(), ids[i].end(), dst.begin() + 1);
        return true;
    };
}

TEST(DiscVolumes, UdfIsRecognisedByItsWholeSequence) {
    const struct {
        const char* name;
        std::vector<std::string> ids;
        bool udf;
    } cases[] = {
        {"UDF 2.01 and later", {"BEA01", "NSR03", "TEA01"}, true},
        {"UDF 1.02 and 1.50", {"BEA01", "NSR02", "TEA01"}, true},
        {"behind ISO 9660 descriptors", {"CD001", "CD001", "BEA01", "NSR02", "TEA01"}, true},
        {"an extended area without NSR", {"BEA01", "TEA01", "XXXXX"}, false},
        {"NSR outside the extended area", {"NSR03", "BEA01", "TEA01", "XXXXX"}, false},
        {"an unknown descriptor ends the sequence", {"BEA01", "ABCDE", "NSR03", "TEA01"}, false},
        {"a sector that cannot be read", {"BEA01", "", "TEA01"}, false},
        {"never ended", {"BEA01", "NSR03"}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(engine::HoldsUdfRecognition(Descriptors(c.ids)), c.udf) << c.name;
    }
}

TEST(DiscVolumes, LogicalVolumeIdentifiersIn8And16BitCharacters) {
    const auto field = [](std::uint8_t compression, std::vector<std::uint8_t> chars) {
        std::vector<std::uint8_t> f(128, 0);
        f[0] = compression;
        std::copy(chars.begin(), chars.end(), f.begin() + 1);
        f[127] = static_cast<std::uint8_t>(chars.size() + 1);
        return f;
    };
    std::vector<std::uint8_t> tooLong = field(8, {'A', 'B'});
    tooLong[127] = 200;  // beyond the field: its characters end at the field's end
    const struct {
        const char* name;
        std::vector<std::uint8_t> field;
        std::string text;
    } cases[] = {
        {"8-bit", field(8, {'F', 0xFC, 'n', 'f'}), "F\xFCnf"},
        {"16-bit, one outside 8 bits", field(16, {0, 'F', 0, 0xFC, 0x20, 0xAC, 0, 'x'}), "F\xFC_x"},
        {"16-bit with an odd byte left over", field(16, {0, 'A', 0}), "A"},
        {"empty", field(8, {}), ""},
        {"an unknown compression", field(254, {'A'}), ""},
        {"a length beyond the field", tooLong, std::string("AB") + std::string(124, '\0')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(engine::DecodeDstring(c.field), c.text) << c.name;
    }
    // Without the medium's size a volume's end is its partition's.
    const platform::SimDrive drive(UdfDisc(30000, "X"));
    const engine::SectorReader read = [&](std::int64_t sector, std::span<std::uint8_t> dst) {
        drive.SectorContent(sector, dst);
        return true;
    };
    EXPECT_EQ(engine::ReadUdfVolume(read, std::nullopt).partitionEnd, 30000 - 257);
}

// A UDF image as mkudffs (udftools) makes it, labelled in 8-bit and 16-bit characters.
TEST(DiscVolumes, AnImageMadeByMkudffsIsMeasuredWithItsLabelAndSizeAndReplayed) {
    if (std::system("command -v mkudffs > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "mkudffs (udftools) is not installed";
    }
    const fixtures::TempDir dir;
    const struct {
        const char* name;
        const char* options;
        std::string label;
    } cases[] = {
        {"8-bit", "--lvid='Holiday Movies'", Padded("Holiday Movies")},
        {"16-bit", "--utf8 --lvid='F\xC3\xBCnf \xE2\x82\xACuro'", Padded("F\xFCnf _uro")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path image = dir / (std::string(c.name) + ".udf");
        // --utf8 must come first.
        const std::string command = std::string("mkudffs ") + c.options +
                                    " --new-file -b 2048 -m hd '" + image.string() +
                                    "' 20000 > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        fakes::NativeProgram live(image.string());
        ASSERT_TRUE(live.Start()) << live.window.Panel(Panel::State);
        EXPECT_EQ(live.state.VolumeSize, 20000);
        EXPECT_EQ(live.state.VolumeLabel.str(), c.label);
        live.RunToEnd();
        EXPECT_EQ(live.window.Panel(Panel::State), "Complete");
        EXPECT_EQ(live.state.ErrorCount, 0);

        fakes::NativeProgram replay("");
        fakes::Replay(replay, live.dataList, dir / "udf.dat");
        EXPECT_EQ(replay.state.VolumeLabel.str(), c.label);
        EXPECT_EQ(replay.state.VolumeSize, 20000);
        // The summary differs: the file keeps the first speed limited to full scale.
        fixtures::ExpectSameChartButTheCurve(
            live.chart.bitmap, replay.chart.bitmap,
            {.left = 400, .top = 282, .right = 591, .bottom = 316});
    }
}

class Labels : public InCurrentFolder {};

TEST_F(Labels, ControlBytesAndACutCharacterBreakNeitherTheDocumentNorANameNorTheChart) {
    const struct {
        const char* name;
        std::string label;     // the 32 bytes on the disc
        std::string shown;     // in the document, the chart and the status texts
        std::string autoSave;  // the name AutoSave gives the files
    } cases[] = {
        {"carriage return", Padded("ONE\rTWO"), Padded("ONE_TWO"), Padded("ONE_TWO")},
        {"line feed", Padded("ONE\nTWO"), Padded("ONE_TWO"), Padded("ONE_TWO")},
        {"NUL", Padded(std::string("ONE\0TWO", 7)), Padded("ONE_TWO"), Padded("ONE_TWO")},
        {"DEL", Padded("ONE\x7FTWO"), Padded("ONE_TWO"), Padded("ONE_TWO")},
        {"escape", Padded("\x1b[31mRED"), Padded("_[31mRED"), Padded("_[31mRED")},
        {"a UTF-8 character cut by the end", std::string(31, 'x') + "\xC3",
         std::string(31, 'x') + "\xC3", std::string(31, 'x')},
        {"a UTF-8 character at the end", std::string(30, 'x') + "\xC3\x84",
         std::string(30, 'x') + "\xC3\x84", std::string(30, 'x') + "\xC3\x84"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto runWith = [](const std::string& label) {
            platform::SimDiscParams disc = fakes::SmallDisc(3000);
            disc.volumeId = label;
            auto p = std::make_unique<fakes::Program>(disc);
            p->window.checked.insert(run::MenuMark::AutoSave);
            EXPECT_TRUE(p->Start());
            p->RunToEnd();
            return p;
        };
        const auto p = runWith(c.label);
        EXPECT_EQ(p->state.VolumeLabel.str(), c.shown);

        // Every line whole: the document reads back as written.
        const std::string dat = fixtures::ReadBytes(c.autoSave + ".dat");
        EXPECT_NE(dat.find("\r\nVolLabel=" + c.shown + "\r\nVolSize=3000\r\n"), std::string::npos);
        results::DataList loaded;
        ASSERT_EQ(results::LoadDocument(c.autoSave + ".dat", loaded), std::error_code());
        EXPECT_EQ(loaded, p->dataList);
        EXPECT_EQ(results::ReadDocumentHeader(loaded).VolLabel, c.shown);
        EXPECT_TRUE(fs::exists(c.autoSave + ".bmp"));

        // The chart's title shows what a label of the shown bytes shows.
        const auto shown = runWith(c.shown);
        EXPECT_TRUE(shown->chart.bitmap == p->chart.bitmap);
        for (const auto& e : fs::directory_iterator(".")) {
            fs::remove(e.path());
        }
    }
}

// The speeds a run records from the fine clock against the drive's model of each timed read.
TEST(FineTiming, BluRaySpeedsFollowTheModelAndACdKeepsTheTick) {
    fakes::Program bd(platform::DemoBluRay(false));
    ASSERT_TRUE(bd.Start());
    EXPECT_TRUE(bd.state.FineTiming);
    bd.RunToEnd();
    EXPECT_EQ(bd.window.Panel(Panel::State), "Complete");
    int compared = 0;
    double worst = 0;
    for (const auto& r : fakes::Results(bd.dataList)) {
        const std::int64_t first = std::int64_t{r.BlockIndex} * 1000;
        const double model = 800 * 2000.0 / bd.drive->ModelDurationMs(first, 800, true);
        worst = std::max(worst, std::abs(r.Speed - model) / model);
        ++compared;
    }
    EXPECT_GT(compared, 6000);
    EXPECT_LT(worst, 0.005);

    fakes::Program cd(fakes::SmallDisc());
    ASSERT_TRUE(cd.Start());
    EXPECT_FALSE(cd.state.FineTiming);
    EXPECT_EQ(cd.state.BlockMicros, 0);
    EXPECT_EQ(cd.state.CurSpeed, 8000);  // 800 sectors in 200 ticks
}

}  // namespace
