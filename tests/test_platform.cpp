// The Linux stand-ins for the system services, and the simulated drive.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "TempDir.h"
#include "platform/Console.h"
#include "platform/DriveEntries.h"
#include "platform/SectorBuffer.h"
#include "platform/SimDrive.h"
#include "platform/SimRouting.h"
#include "platform/SimSystem.h"
#include "platform/SoundData.h"
#include "platform/Wave.h"
#include "platform/linux/LinuxSystem.h"
#include "platform/linux/RawDevice.h"

namespace fs = std::filesystem;
using namespace platform;
using fixtures::TempDir;

namespace {

// An image whose sector s starts with the 4-byte number s.
void WriteImage(const fs::path& file, std::uint32_t sectors) {
    std::ofstream out(file, std::ios::binary);
    std::vector<char> sector(kSectorBytes, 'x');
    for (std::uint32_t s = 0; s < sectors; ++s) {
        std::memcpy(sector.data(), &s, sizeof s);
        out.write(sector.data(), static_cast<std::streamsize>(sector.size()));
    }
}

std::uint32_t FirstWord(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void WriteText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

// A file system that refuses unbuffered access, played over the real one (which may well
// take it): with openError set, an open with O_DIRECT fails with that error; with
// readsRefused, the open takes O_DIRECT and every read fails with EINVAL until the flag is
// cleared again, as ext4 does for a buffer that is not aligned to its blocks.
struct RefusingFileSystem {
    int openError = 0;
    bool readsRefused = false;
    std::vector<int> openFlags;
    bool direct = false;  // O_DIRECT as the device sees it on its descriptor
    int refusedReads = 0;
};
RefusingFileSystem refusing;

void Refuse(int openError, bool readsRefused) {
    refusing = RefusingFileSystem{};
    refusing.openError = openError;
    refusing.readsRefused = readsRefused;
}

const RawDeviceCalls kRefusingCalls{
    [](const char* path, int flags) {
        refusing.openFlags.push_back(flags);
        if ((flags & O_DIRECT) != 0 && refusing.openError != 0) {
            errno = refusing.openError;
            return -1;
        }
        refusing.direct = (flags & O_DIRECT) != 0;
        return ::open(path, flags & ~O_DIRECT);
    },
    [](int fd, void* buffer, std::size_t count, off_t offset) -> ssize_t {
        if (refusing.direct && refusing.readsRefused) {
            ++refusing.refusedReads;
            errno = EINVAL;
            return -1;
        }
        return ::pread(fd, buffer, count, offset);
    },
    [](int fd, int command, int argument) {
        if (command == F_GETFL) {
            const int flags = ::fcntl(fd, F_GETFL);
            return flags < 0 || !refusing.direct ? flags : flags | O_DIRECT;
        }
        if (command == F_SETFL) {
            refusing.direct = (argument & O_DIRECT) != 0;
            argument &= ~O_DIRECT;
        }
        return ::fcntl(fd, command, argument);
    },
};

}  // namespace

TEST(RawDevice, ReadsWholeSectorsAndFailsShortReadsAtTheEnd) {
    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 40);
    auto device = OpenRawDevice(image.string());
    ASSERT_NE(device, nullptr);
    SectorBuffer buffer;

    ASSERT_TRUE(device->ReadAt(16 * kSectorBytes, buffer.span().first(10 * kSectorBytes)));
    EXPECT_EQ(FirstWord(buffer.data()), 16u);
    EXPECT_EQ(FirstWord(buffer.data() + 9 * kSectorBytes), 25u);

    // Sectors 35 to 44: five arrive, five lie beyond the end.
    EXPECT_FALSE(device->ReadAt(35 * kSectorBytes, buffer.span().first(10 * kSectorBytes)));
    EXPECT_FALSE(device->ReadAt(40 * kSectorBytes, buffer.span().first(kSectorBytes)));
    EXPECT_TRUE(device->ReadAt(39 * kSectorBytes, buffer.span().first(kSectorBytes)));
}

TEST(RawDevice, ReadsBeyondTwoAndFourGibibytes) {
    TempDir dir;
    const fs::path image = dir.path() / "big.iso";
    const std::uint64_t sectors[] = {1048576, 2097153};  // 2 GiB and just past 4 GiB
    {
        const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        for (const std::uint64_t s : sectors) {
            const auto marker = static_cast<std::uint32_t>(s);
            std::vector<char> sector(kSectorBytes, 0);
            std::memcpy(sector.data(), &marker, sizeof marker);
            ASSERT_EQ(
                ::pwrite(fd, sector.data(), sector.size(), static_cast<off_t>(s * kSectorBytes)),
                static_cast<ssize_t>(kSectorBytes));
        }
        ::close(fd);
    }
    auto device = OpenRawDevice(image.string());
    ASSERT_NE(device, nullptr);
    SectorBuffer buffer;
    for (const std::uint64_t s : sectors) {
        ASSERT_TRUE(device->ReadAt(s * kSectorBytes, buffer.span().first(kSectorBytes))) << s;
        EXPECT_EQ(FirstWord(buffer.data()), static_cast<std::uint32_t>(s));
    }
}

TEST(RawDevice, ReadsBufferedWhereUnbufferedAccessIsRefused) {
    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 20);
    const auto readsSectorFive = [](DeviceFile& device) {
        SectorBuffer buffer;
        return device.ReadAt(5 * kSectorBytes, buffer.span().first(3 * kSectorBytes)) &&
               FirstWord(buffer.data()) == 5u && FirstWord(buffer.data() + kSectorBytes) == 6u;
    };

    // Refused at the open: opened again without it.
    Refuse(EINVAL, false);
    auto device = OpenRawDevice(image.string(), kRefusingCalls);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(refusing.openFlags,
              (std::vector<int>{O_RDONLY | O_DIRECT | O_CLOEXEC, O_RDONLY | O_CLOEXEC}));
    EXPECT_TRUE(readsSectorFive(*device));
    device.reset();

    // Any other error of the open is final.
    Refuse(EACCES, false);
    const auto refused = OpenRawDevice(image.string(), kRefusingCalls);
    const int error = errno;
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(refusing.openFlags.size(), 1u);

    // Taken at the open, refused at the first read: that read and the later ones go
    // buffered.
    Refuse(0, true);
    device = OpenRawDevice(image.string(), kRefusingCalls);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(refusing.direct);
    EXPECT_TRUE(readsSectorFive(*device));
    EXPECT_FALSE(refusing.direct);
    EXPECT_EQ(refusing.refusedReads, 1);
    EXPECT_TRUE(readsSectorFive(*device));
    EXPECT_EQ(refusing.refusedReads, 1);
}

namespace {
// What a drive was told of its speed, call by call; a negative answer refuses.
std::vector<int> speedCalls;
int speedAnswer = 0;
}  // namespace

TEST(RawDevice, ASlowedDriveIsSetBackToItsMaximumWhenClosed) {
    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 4);
    RawDeviceCalls calls = SystemRawDeviceCalls();
    calls.selectSpeed = [](int, int timesCdSpeed) {
        speedCalls.push_back(timesCdSpeed);
        return speedAnswer;
    };
    speedCalls.clear();
    speedAnswer = 0;
    auto device = OpenRawDevice(image.string(), calls);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->SelectReadSpeed(16));
    EXPECT_FALSE(device->SelectReadSpeed(-4));
    device.reset();
    EXPECT_EQ(speedCalls, (std::vector<int>{16, 0}));

    // Told its maximum, or refusing, a drive is left alone at the close.
    speedCalls.clear();
    EXPECT_TRUE(OpenRawDevice(image.string(), calls)->SelectReadSpeed(0));
    speedAnswer = -1;
    EXPECT_FALSE(OpenRawDevice(image.string(), calls)->SelectReadSpeed(8));
    EXPECT_EQ(speedCalls, (std::vector<int>{0, 8}));
    EXPECT_FALSE(OpenRawDevice(image.string(), kRefusingCalls)->SelectReadSpeed(8));
}

TEST(RawDevice, MissingDeviceDoesNotOpen) {
    EXPECT_EQ(OpenRawDevice("/nonexistent/discometer/sr9"), nullptr);
}

TEST(LinuxSystem, TellsTheVersionFromTheKernelRelease) {
    const VersionRecord v = VersionFromRelease("6.1.0-28-amd64");
    EXPECT_EQ(v.platformId, kPlatformLinux);
    EXPECT_EQ(v.majorVersion, 6u);
    EXPECT_EQ(v.minorVersion, 1u);
    EXPECT_EQ(v.buildNumber, (6u << 24) | (1u << 16));
    EXPECT_EQ(v.csdVersion, "6.1.0-28-amd64");

    const VersionRecord odd = VersionFromRelease("300.2.70000" + std::string(200, 'x'));
    EXPECT_EQ(odd.majorVersion, 300u);
    EXPECT_EQ(odd.buildNumber, (44u << 24) | (2u << 16) | (70000u & 0xFFFF));
    EXPECT_EQ(odd.csdVersion.size(), kCsdVersionChars);

    const VersionRecord junk = VersionFromRelease("custom");
    EXPECT_EQ(junk.majorVersion, 0u);
    EXPECT_EQ(junk.buildNumber, 0u);

    LinuxSystem system;
    EXPECT_EQ(system.QueryVersion().platformId, kPlatformLinux);
}

TEST(LinuxSystem, ListsTheKernelsOpticalDrivesAndTellsImagesFromDevices) {
    TempDir dir;
    const fs::path block = dir.path() / "block";
    WriteText(block / "sr10" / "device" / "type", "5\n");
    WriteText(block / "sr2" / "device" / "type", "5\n");
    WriteText(block / "sda" / "device" / "type", "0\n");
    WriteText(block / "sr1x" / "device" / "type", "5\n");

    LinuxSystemOptions options;
    options.sysBlockDir = block.string();
    options.devDir = (dir.path() / "dev").string();
    LinuxSystem system(options);
    EXPECT_EQ(system.CandidateDrives(), (std::vector<std::string>{"sr2", "sr10"}));
    EXPECT_EQ(system.DriveTypeOf("sr2"), DriveType::CdRom);
    EXPECT_EQ(system.DriveTypeOf("sda"), DriveType::NoRootDir);
    EXPECT_EQ(system.DevicePath("sr2"), (dir.path() / "dev" / "sr2").string());

    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 1);
    EXPECT_EQ(system.DriveTypeOf(image.string()), DriveType::CdRom);
    EXPECT_EQ(system.DriveTypeOf(image.string() + ".missing"), DriveType::NoRootDir);
    EXPECT_EQ(system.DevicePath(image.string()), image.string());

    EXPECT_EQ(system.OpenDevice("/nonexistent/discometer/sr9"), nullptr);
    EXPECT_EQ(system.LastOpenError(), std::errc::no_such_file_or_directory);
    EXPECT_NE(system.OpenDevice(image.string()), nullptr);
    EXPECT_FALSE(system.LastOpenError());
}

TEST(SimRouting, TheUsersEntriesReplaceTheSearchAndSimulatedDrivesAnswerForTheirOwn) {
    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 1);
    const auto chosen = MakeNativeSystem(" sim , ,/dev/sr0," + image.string() + ",sim-unpaced,");
    EXPECT_EQ(chosen->CandidateDrives(),
              (std::vector<std::string>{"sim", "/dev/sr0", image.string(), "sim-unpaced"}));
    EXPECT_EQ(chosen->DriveTypeOf("sim"), DriveType::CdRom);
    EXPECT_EQ(chosen->DriveTypeOf(image.string()), DriveType::CdRom);
    EXPECT_EQ(chosen->DriveTypeOf(image.string() + ".missing"), DriveType::NoRootDir);
    EXPECT_EQ(chosen->DevicePath(image.string()), image.string());
    EXPECT_EQ(chosen->DevicePath("sim"), "sim");

    EXPECT_TRUE(MakeNativeSystem(std::string())->CandidateDrives().empty());
    EXPECT_EQ(SplitDriveEntries(" a ,\tb,, "), (std::vector<std::string>{"a", "b"}));
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
    SimRoutingSystem named(std::make_unique<DiskSystem>(), "/dev/loop7,/dev/none");
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

TEST(LinuxSystem, LoadsModulesAndTellsMissingExportsApart) {
    LinuxSystem system;
    EXPECT_EQ(system.LoadModule("/nonexistent/sectrd32.dll"), nullptr);

    auto full = system.LoadModule(SECTORLIB_FULL);
    ASSERT_NE(full, nullptr);
    auto check = reinterpret_cast<CheckCDSectors32Fn>(full->Resolve("CheckCDSectors32"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check('D', 7, 1), -1);
    EXPECT_EQ(check('D', 8, 1), 0);
    EXPECT_NE(full->Resolve("ReadCDvtoc32"), nullptr);

    auto partial = system.LoadModule(SECTORLIB_PARTIAL);
    ASSERT_NE(partial, nullptr);
    EXPECT_NE(partial->Resolve("ReadCDvtoc32"), nullptr);
    EXPECT_EQ(partial->Resolve("CheckCDSectors32"), nullptr);
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
    EXPECT_TRUE(device->SelectReadSpeed(16));
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
    EXPECT_TRUE(device->SelectReadSpeed(52));
    EXPECT_DOUBLE_EQ(drive->ModelDurationMs(1000, 780, true), 200.0);
    EXPECT_TRUE(device->SelectReadSpeed(0));
    EXPECT_EQ(drive->SpeedCap(), std::nullopt);
    EXPECT_FALSE(device->SelectReadSpeed(-1));

    // Closing the device sets the drive back to its maximum.
    EXPECT_TRUE(device->SelectReadSpeed(8));
    device.reset();
    EXPECT_EQ(drive->SpeedCap(), std::nullopt);
    params.refusesReadSpeed = true;
    const auto stubborn = std::make_shared<SimDrive>(params);
    EXPECT_FALSE(stubborn->Open(stubborn)->SelectReadSpeed(16));
    EXPECT_EQ(stubborn->SpeedCap(), std::nullopt);
}

TEST(DriveIdentity, FromTheKernelsAttributesAndOfTheSimulatedDrives) {
    TempDir dir;
    const fs::path block = dir.path() / "block";
    WriteText(block / "sr0" / "device" / "vendor", "HL-DT-ST\n");
    WriteText(block / "sr0" / "device" / "model", "DVDRAM GH24NSD1 \n");
    WriteText(block / "sr0" / "device" / "rev", "LG00\n");
    // A device may say anything: one printable line of at most 64 characters is kept.
    WriteText(block / "sr1" / "device" / "model", "  Odd\x01\x7f" + std::string(100, 'M') + "\n");
    LinuxSystemOptions options;
    options.sysBlockDir = block.string();
    LinuxSystem system(options);
    EXPECT_EQ(system.IdentityOf("sr0"), (DriveIdentity{"HL-DT-ST", "DVDRAM GH24NSD1", "LG00"}));
    const DriveIdentity odd = system.IdentityOf("sr1");
    EXPECT_EQ(odd.vendor, "");
    EXPECT_EQ(odd.model, "Odd??" + std::string(57, 'M'));
    EXPECT_EQ(system.IdentityOf("sr7"), DriveIdentity{});
    EXPECT_EQ(system.IdentityOf("../block/sr0"), DriveIdentity{});

    // A disc image has none, and does not take a read speed.
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 2);
    EXPECT_EQ(system.IdentityOf(image.string()), DriveIdentity{});
    EXPECT_FALSE(system.OpenDevice(image.string())->SelectReadSpeed(16));

    const auto routed = MakeNativeSystem(std::string());
    EXPECT_EQ(routed->IdentityOf("sim-dvd"),
              (DriveIdentity{"Discometer", "Simulated DVD-ROM 16x", "SIM1"}));
    EXPECT_EQ(routed->IdentityOf("sim-bd-unpaced").model, "Simulated BD-ROM 12x");
    EXPECT_EQ(routed->IdentityOf("sim").model, "Simulated CD-ROM 52x");
    EXPECT_EQ(routed->IdentityOf(image.string()), DriveIdentity{});
}

TEST(Console, StopRequestsSurviveBurstsOfSignals) {
    InstallStopRequests();
    EXPECT_FALSE(StopRequested());
    for (int i = 0; i < 20; ++i) {
        ::raise(i % 2 == 0 ? SIGINT : SIGTERM);  // the program lives on to write its files
    }
    EXPECT_TRUE(StopRequested());
}
