// The portable parts of the platform: the drive list and its routing, the simulated drive,
// the sound cues.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/DriveEntries.h"
#include "platform/IdentityField.h"
#include "platform/MmcCommands.h"
#include "platform/SectorBuffer.h"
#include "platform/SimDrive.h"
#include "platform/SimRouting.h"
#include "platform/SimSystem.h"
#include "platform/SoundData.h"
#include "platform/Wave.h"
#include "support/SectorImages.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace platform;
using fixtures::FirstWord;
using fixtures::TempDir;
using fixtures::WriteImage;

TEST(SimRouting, TheUsersEntriesReplaceTheSearchAndSimulatedDrivesAnswerForTheirOwn) {
    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 1);
    const auto chosen = MakeNativeSystem(" sim , ,sr0," + image.string() + ",sim-unpaced,");
    EXPECT_EQ(chosen->CandidateDrives(),
              (std::vector<std::string>{"sim", "sr0", image.string(), "sim-unpaced"}));
    EXPECT_EQ(chosen->DriveTypeOf("sim"), DriveType::CdRom);
    EXPECT_EQ(chosen->DriveTypeOf(image.string()), DriveType::CdRom);
    EXPECT_EQ(chosen->DriveTypeOf(image.string() + ".missing"), DriveType::NoRootDir);
    EXPECT_EQ(chosen->DevicePath(image.string()), image.string());
    EXPECT_EQ(chosen->DevicePath("sim"), "sim");

    EXPECT_TRUE(MakeNativeSystem(std::string())->CandidateDrives().empty());
    // A relative path of an image is the file in the current folder, not a name under /dev.
    const std::filesystem::path here = std::filesystem::current_path();
    EXPECT_EQ(
        SplitDriveEntries(" a ,\tb,, ./c.iso,d/../e.iso"),
        (std::vector<std::string>{"a", "b", (here / "c.iso").string(), (here / "e.iso").string()}));
    for (const SimulatedEntry& entry : SimulatedEntries()) {
        SCOPED_TRACE(std::string(entry.name));
        EXPECT_TRUE(IsSimulatedEntry(entry.name));
        EXPECT_GT(entry.disc().volumeSectors, 0u);
    }
    EXPECT_FALSE(IsSimulatedEntry("sim0"));
}

namespace {

// A system that calls one entry a fixed disk, as Linux calls a block device that is no
// optical drive (a loop device, a USB stick).
class DiskSystem final : public SimSystem {
  public:
    DiskSystem() : SimSystem(std::make_shared<SimDrive>(DemoDisc(false))) {}
    DriveType DriveTypeOf(const std::string& entry) override {
        return entry == "/dev/loop7" ? DriveType::Fixed : DriveType::NoRootDir;
    }
};

}  // namespace

TEST(SimRouting, DisksTheUserNamesAreDrivesButTheSearchFindsOpticalOnes) {
    SimRoutingSystem named(std::make_unique<DiskSystem>(),
                           std::vector<std::string>{"/dev/loop7", "/dev/none"});
    EXPECT_EQ(named.DriveTypeOf("/dev/loop7"), DriveType::CdRom);
    EXPECT_EQ(named.DriveTypeOf("/dev/none"), DriveType::NoRootDir);
    SimRoutingSystem searched(std::make_unique<DiskSystem>(), std::nullopt);
    EXPECT_EQ(searched.DriveTypeOf("/dev/loop7"), DriveType::Fixed);
}

TEST(SimRouting, SimulatedDriveBringsItsOwnClock) {
    const auto system = MakeNativeSystem(std::string());
    auto device = system->OpenDevice("sim-unpaced");
    ASSERT_NE(device, nullptr);
    SectorBuffer buffer;
    const std::uint32_t t0 = system->TickCount();
    ASSERT_TRUE(device->ReadAt(1000 * kSectorBytes, buffer.span().first(800 * kSectorBytes)));
    const std::uint32_t t1 = system->TickCount();
    // 1600 KB at 21x plus a little: about half a second of disc time, none of ours.
    EXPECT_GE(t1 - t0, 500u);
    EXPECT_LE(t1 - t0, 510u);
    EXPECT_FALSE(system->LastOpenError());
    EXPECT_EQ(system->OpenDevice("/nonexistent/discometer/sr9"), nullptr);
    EXPECT_TRUE(system->LastOpenError());
}

TEST(SimDrive, HoldsAVolumeDescriptorWithTheGivenLabelAndSize) {
    SimDiscParams params;
    params.volumeId = std::string("A B\0C", 5);
    params.volumeSectors = 0x01020304;
    params.mediumSectors = 100;
    SimDrive drive(params);
    SectorBuffer buffer;
    ASSERT_TRUE(drive.Read(16 * kSectorBytes, buffer.span().first(kSectorBytes)));
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(std::memcmp(buffer.data() + 1, "CD001", 5), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data() + 40), 32),
              std::string("A B\0C", 5) + std::string(27, ' '));
    EXPECT_EQ(buffer[80], 0x04);
    EXPECT_EQ(buffer[83], 0x01);
    EXPECT_EQ(buffer[84], 0x01);  // the big-endian copy follows
    EXPECT_EQ(buffer[87], 0x04);
}

TEST(SimDrive, ModelsSpeedSeeksAndTheClock) {
    SimDiscParams params;
    params.volumeSectors = 100000;
    params.innerSpeedX = 20.0;
    params.outerSpeedX = 50.0;
    params.seekMs = 10.0;
    SimDrive drive(params);
    EXPECT_DOUBLE_EQ(drive.SpeedKBsAt(0), 3000.0);
    EXPECT_DOUBLE_EQ(drive.SpeedKBsAt(50000), 5250.0);
    EXPECT_DOUBLE_EQ(drive.SpeedKBsAt(100000), 7500.0);

    SectorBuffer buffer;
    ASSERT_TRUE(drive.Read(0, buffer.span().first(600 * kSectorBytes)));  // a seek first
    EXPECT_EQ(drive.Clock().TickCount(), 410u);                           // 10 + 1200 KB / 3000
    ASSERT_TRUE(drive.Read(600 * kSectorBytes, buffer.span().first(300 * kSectorBytes)));
    EXPECT_EQ(drive.Clock().TickCount(), 608u);  // sequential: 600 KB at 20.18x, no seek
    EXPECT_FALSE(drive.Read(100, buffer.span().first(kSectorBytes)));  // not sector aligned
}

TEST(SimDrive, FailsUnreadableAreasAndTheEndOfTheMedium) {
    SimDiscParams params;
    params.volumeSectors = 5000;
    params.unreadable = {{2500, 2500}};
    SimDrive drive(params);
    SectorBuffer buffer;
    auto read = [&](std::int64_t first, std::size_t count) {
        return drive.Read(static_cast<std::uint64_t>(first) * kSectorBytes,
                          buffer.span().first(count * kSectorBytes));
    };
    EXPECT_FALSE(read(2000, 1000));
    EXPECT_TRUE(read(2501, 1000));
    EXPECT_TRUE(read(1500, 1000));
    // A short read: the sectors before the end still arrive.
    buffer[0] = 0xEE;
    EXPECT_FALSE(read(4990, 20));
    EXPECT_EQ(FirstWord(buffer.data()), 4990u);

    params.endOfMedium = EndOfMedium::Fail;
    params.vanishAfterReads = 2;
    SimDrive vanishing(params);
    EXPECT_TRUE(vanishing.Read(0, buffer.span().first(kSectorBytes)));
    EXPECT_TRUE(vanishing.Read(0, buffer.span().first(kSectorBytes)));
    EXPECT_FALSE(vanishing.Read(0, buffer.span().first(kSectorBytes)));
}

TEST(SimDrive, ScriptedDurationsStandStillOrWrapTheCounter) {
    SimDiscParams params;
    params.clockStart = 0xFFFFFFF0u;
    SimDrive drive(params);
    drive.ScriptDurations({0.0, 40.0});
    SectorBuffer buffer;
    drive.Read(0, buffer.span().first(kSectorBytes));
    EXPECT_EQ(drive.Clock().TickCount(), 0xFFFFFFF0u);
    drive.Read(0, buffer.span().first(kSectorBytes));
    EXPECT_EQ(drive.Clock().TickCount(), 24u);  // wrapped
}

TEST(SimDrive, DemoDiscIsAFullDiscOnA52xDrive) {
    const SimDiscParams demo = DemoDisc(true);
    EXPECT_EQ(demo.volumeSectors, 333000u);
    EXPECT_EQ(demo.volumeId, "DISCOMETER_DEMO");
    EXPECT_EQ(demo.unreadable.size(), 2u);
    EXPECT_GT(demo.paceDivisor, 0.0);
    EXPECT_EQ(DemoDisc(false).paceDivisor, 0.0);
    SimDrive drive(demo);
    EXPECT_NEAR(drive.SpeedKBsAt(332999) / 150.0, 52.0, 0.01);
}

TEST(SoundCues, AreShortPcmWavesOfTheirOwnLengths) {
    const auto done = ParseWave(WaveResource(SoundCue::Done));
    ASSERT_TRUE(done.has_value());
    EXPECT_EQ(done->channels, 1);
    EXPECT_EQ(done->sampleRate, 11025u);
    EXPECT_EQ(done->bitsPerSample, 8);
    EXPECT_NEAR(done->Seconds(), 0.93, 0.01);

    const auto error = ParseWave(WaveResource(SoundCue::Error));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->channels, 2);
    EXPECT_EQ(error->sampleRate, 22050u);
    EXPECT_NEAR(error->Seconds(), 0.47, 0.01);
}

TEST(SoundCues, DamagedWavesAreRefused) {
    const auto good = WaveResource(SoundCue::Done);
    std::vector<std::uint8_t> bytes(good.begin(), good.end());
    EXPECT_FALSE(ParseWave(std::span(bytes).first(40)).has_value());  // data cut short
    auto badSize = bytes;
    badSize[40] = 0xFF;  // data chunk claims more than there is
    badSize[43] = 0x7F;
    EXPECT_FALSE(ParseWave(badSize).has_value());
    auto compressed = bytes;
    compressed[20] = 2;  // ADPCM
    EXPECT_FALSE(ParseWave(compressed).has_value());
    EXPECT_FALSE(ParseWave({}).has_value());
}

TEST(SimDrive, DvdAndBluRayDemoDiscsTurnAtAConstantRate) {
    struct Demo {
        const char* entry;
        SimDiscParams disc;
        std::uint32_t sectors;
        double singleKBs, innerX, outerX;
    };
    const Demo demos[] = {
        {"sim-dvd", DemoDvd(true), 2295104, 1385000.0 / 1024, 6.5, 16.0},
        {"sim-bd", DemoBluRay(true), 12219392, 4500000.0 / 1024, 5.0, 12.0},
    };
    for (const Demo& d : demos) {
        SCOPED_TRACE(d.entry);
        EXPECT_EQ(d.disc.volumeSectors, d.sectors);
        EXPECT_GT(d.disc.paceDivisor, 0.0);
        SimDrive drive(d.disc);
        EXPECT_NEAR(drive.SpeedKBsAt(0) / d.singleKBs, d.innerX, 1e-9);
        EXPECT_NEAR(drive.SpeedKBsAt(d.sectors) / d.singleKBs, d.outerX, 1e-9);
        // Halfway through the data the track's radius, and so the speed, is the root mean
        // square of the inner and outer ones: well past their middle.
        EXPECT_NEAR(drive.SpeedKBsAt(d.sectors / 2) / d.singleKBs,
                    std::sqrt((d.innerX * d.innerX + d.outerX * d.outerX) / 2), 0.01);

        // The paced and the unpaced entries hold the same disc, paced or not.
        const auto system = MakeNativeSystem(std::string());
        const std::string unpaced = std::string(d.entry) + "-unpaced";
        EXPECT_EQ(system->DriveTypeOf(d.entry), DriveType::CdRom);
        EXPECT_EQ(system->DriveTypeOf(unpaced), DriveType::CdRom);
        EXPECT_NE(system->OpenDevice(unpaced), nullptr);
        const auto fast = std::find_if(SimulatedEntries().begin(), SimulatedEntries().end(),
                                       [&](const SimulatedEntry& e) { return e.name == unpaced; });
        ASSERT_NE(fast, SimulatedEntries().end());
        EXPECT_EQ(fast->disc().volumeSectors, d.sectors);
        EXPECT_EQ(fast->disc().paceDivisor, 0.0);
    }
    EXPECT_EQ(DemoDvd(true).unreadable.size(), 1u);
}

TEST(SimDrive, ASpeedCapIsNeverBeatenEvenToTheTick) {
    SimDiscParams params;
    params.innerSpeedX = params.outerSpeedX = 52.0;
    const auto drive = std::make_shared<SimDrive>(params);
    auto device = drive->Open(drive);
    EXPECT_TRUE(device->SelectReadSpeed({16}));
    EXPECT_EQ(drive->SpeedCap(), 2400.0);
    // 800 sectors at 2400 KB/s are 666.7 ms: the drive takes 667, whatever the clock's fraction.
    EXPECT_EQ(drive->ModelDurationMs(1000, 800, true), 667.0);
    EXPECT_NEAR(drive->ModelDurationMs(1000, 800, false), 667.0 + params.seekMs, 1e-9);
    SectorBuffer buffer;
    for (int i = 0; i < 50; ++i) {
        const std::uint32_t t0 = drive->Clock().TickCount();
        ASSERT_TRUE(device->ReadAt((1000 + 7 * i) * kSectorBytes,
                                   buffer.span().first((1 + i % 7) * 100 * kSectorBytes)));
        const std::uint32_t ticks = drive->Clock().TickCount() - t0;
        EXPECT_LE((1 + i % 7) * 100 * 2000.0 / ticks, 2400.0) << i;
    }
    // A cap above the drive's own speed changes nothing; 0 is the drive's maximum again.
    EXPECT_TRUE(device->SelectReadSpeed({52}));
    EXPECT_DOUBLE_EQ(drive->ModelDurationMs(1000, 780, true), 200.0);
    EXPECT_TRUE(device->SelectReadSpeed({0}));
    EXPECT_EQ(drive->SpeedCap(), std::nullopt);
    EXPECT_FALSE(device->SelectReadSpeed({-1}));
    // In the medium's own multiples: 8x on a DVD is eight times 1,385,000 B/s.
    EXPECT_TRUE(device->SelectReadSpeed({8, Medium::DVD}));
    EXPECT_DOUBLE_EQ(*drive->SpeedCap(), 8 * 1385000.0 / 1024);

    // Closing the device sets the drive back to its maximum.
    EXPECT_TRUE(device->SelectReadSpeed({8}));
    device.reset();
    EXPECT_EQ(drive->SpeedCap(), std::nullopt);
    params.refusesReadSpeed = true;
    const auto stubborn = std::make_shared<SimDrive>(params);
    EXPECT_FALSE(stubborn->Open(stubborn)->SelectReadSpeed({16}));
    EXPECT_EQ(stubborn->SpeedCap(), std::nullopt);
}

TEST(MmcCommands, SpeedsInTheDrivesUnitsAndWhatItSaysBack) {
    struct SpeedRow {
        ReadSpeedRequest request;
        std::uint32_t kBs;
    };
    for (const SpeedRow& row : {
             SpeedRow{{16, Medium::CD}, 2822},  // 16 x 176.4
             SpeedRow{{52, Medium::CD}, 9173},
             SpeedRow{{8, Medium::DVD}, 11080},
             SpeedRow{{12, Medium::BluRay}, 54000},
             SpeedRow{{0, Medium::DVD}, 0},
             SpeedRow{{-3, Medium::CD}, 0},
         }) {
        EXPECT_EQ(mmc::RequestKBs(row.request), row.kBs) << row.request.times;
    }

    using Bytes = std::vector<std::uint8_t>;
    struct SenseRow {
        const char* name;
        Bytes bytes;
        mmc::Sense sense;
        bool refused;
    };
    for (const SenseRow& row : {
             SenseRow{"fixed: unknown command",
                      {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x20, 0},
                      {5, 0x20, 0},
                      true},
             SenseRow{"descriptor: invalid field", {0x72, 0x05, 0x24, 0x00}, {5, 0x24, 0}, true},
             SenseRow{"fixed: no medium",
                      {0xF0, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 1},
                      {2, 0x3A, 1},
                      false},
             SenseRow{"cut short", {0x70, 0, 0x05}, {}, false},
             SenseRow{"none", {}, {}, false},
         }) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mmc::ParseSense(row.bytes), row.sense);
        EXPECT_EQ(mmc::Refused(mmc::ParseSense(row.bytes)), row.refused);
    }
    EXPECT_TRUE(mmc::NoMedium({2, 0x3A, 1}));
    EXPECT_TRUE(mmc::MediumChanged({6, 0x28, 0}));

    // The identity and the medium, as the drive puts them.
    mmc::Command inquiry = mmc::Inquiry();
    EXPECT_EQ(inquiry.cdb, (Bytes{0x12, 0, 0, 0, 36, 0}));
    const std::string answer = std::string(8, '\0') + "HL-DT-ST" + "DVDRAM GH24NSD1 " + "LG00";
    EXPECT_EQ(mmc::IdentityFromInquiry(Bytes(answer.begin(), answer.end())),
              (DriveIdentity{"HL-DT-ST", "DVDRAM GH24NSD1", "LG00"}));
    EXPECT_EQ(mmc::IdentityFromInquiry(Bytes(20)), DriveIdentity{}) << "cut short";
    EXPECT_EQ(mmc::GetConfiguration().cdb, (Bytes{0x46, 1, 0, 0, 0, 0, 0, 0, 8, 0}));
    EXPECT_EQ(mmc::CurrentProfile(Bytes{0, 0, 0, 0, 0, 0, 0x00, 0x2B}), 0x002B);
    EXPECT_EQ(mmc::CurrentProfile(Bytes(7)), std::nullopt);
    EXPECT_EQ(mmc::ProfileName(0x002B), "DVD+R DL");
    EXPECT_EQ(mmc::ProfileName(0x0009), "CD-R");
    EXPECT_EQ(mmc::ProfileName(0x0043), "BD-RE");
    EXPECT_EQ(mmc::ProfileName(0x0000), "");

    // The fastest read: the largest start or end performance of the descriptors that came.
    Bytes performance(8 + 32);
    performance[3] = 4 + 32;
    performance[8 + 7] = 0x10;                               // 4,096 kB/s at the inner edge
    performance[8 + 14] = 0x2B, performance[8 + 15] = 0x48;  // 11,080 at the outer
    performance[24 + 14] = 0x3F;                             // 16,128 in a second descriptor
    EXPECT_EQ(mmc::FastestInPerformance(performance), 16128u);
    performance[3] = 4 + 16;  // the second one is beyond what the drive says it sent
    EXPECT_EQ(mmc::FastestInPerformance(performance), 11080u);
    EXPECT_EQ(mmc::FastestInPerformance(Bytes(8)), std::nullopt);
    EXPECT_EQ(mmc::FastestInPerformance(Bytes(5)), std::nullopt);
    EXPECT_EQ(mmc::GetPerformance().cdb[0], 0xAC);
    // The capabilities page after the header and any block descriptors.
    Bytes capabilities(8 + 8 + 20);
    capabilities[7] = 8;
    capabilities[16] = 0x2A;
    capabilities[16 + 8] = 0x21, capabilities[16 + 9] = 0x11;  // 8,465 kB/s: 48x a CD
    EXPECT_EQ(mmc::FastestInCapabilities(capabilities), 8465u);
    capabilities[16] = 0x2B;
    EXPECT_EQ(mmc::FastestInCapabilities(capabilities), std::nullopt) << "another page";
    EXPECT_EQ(mmc::FastestInCapabilities(Bytes(12)), std::nullopt) << "cut short";

    // The medium's size, and whether a CD may be asked with SET STREAMING.
    EXPECT_EQ(mmc::ReadCapacity().cdb, (Bytes{0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mmc::SectorsFromCapacity(Bytes{0, 0x05, 0x14, 0xC7, 0, 0, 8, 0}), 333000);
    EXPECT_EQ(mmc::SectorsFromCapacity(Bytes(7)), std::nullopt);
    EXPECT_EQ(mmc::GetStreamingFeature().cdb, (Bytes{0x46, 2, 0x01, 0x07, 0, 0, 0, 0, 16, 0}));
    Bytes feature(16);
    feature[8] = 0x01, feature[9] = 0x07, feature[10] = 0x01, feature[12] = 0x02;
    EXPECT_TRUE(mmc::StreamsSpeeds(feature));
    feature[10] = 0x00;
    EXPECT_FALSE(mmc::StreamsSpeeds(feature)) << "not current";
    feature[10] = 0x01, feature[12] = 0x08;
    EXPECT_FALSE(mmc::StreamsSpeeds(feature)) << "SET CD SPEED only";
    feature[9] = 0x08, feature[12] = 0x02;
    EXPECT_FALSE(mmc::StreamsSpeeds(feature)) << "another feature";
    EXPECT_FALSE(mmc::StreamsSpeeds(Bytes(12)));
}

TEST(DriveIdentity, FieldsBecomeOnePrintableLine) {
    EXPECT_EQ(IdentityField("HL-DT-ST"), "HL-DT-ST");
    EXPECT_EQ(IdentityField("  DVDRAM GH24NSD1   \nsecond line"), "DVDRAM GH24NSD1");
    EXPECT_EQ(IdentityField(std::string("A\0B\x01\x7f\xc3\xa9", 7)), "A?B????");
    EXPECT_EQ(IdentityField(std::string(100, 'M')), std::string(kIdentityFieldChars, 'M'));
    EXPECT_EQ(IdentityField("    "), "");
    EXPECT_EQ(IdentityField(""), "");
}

TEST(DriveIdentity, SimulatedDrivesNameThemselves) {
    const auto routed = MakeNativeSystem(std::string());
    EXPECT_EQ(routed->IdentityOf("sim-dvd"),
              (DriveIdentity{"Discometer", "Simulated DVD-ROM 16x", "SIM1", "DVD-ROM", 16 * 1385}));
    EXPECT_EQ(routed->IdentityOf("sim-bd-unpaced").model, "Simulated BD-ROM 12x");
    EXPECT_EQ(routed->IdentityOf("sim").model, "Simulated CD-ROM 52x");
    EXPECT_EQ(routed->IdentityOf("/no/such/disc.iso"), DriveIdentity{});
}
