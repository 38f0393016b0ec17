// The Linux system services: raw devices and images, the kernel's drives and version,
// modules, stop requests.
#include <fcntl.h>
#include <linux/cdrom.h>
#include <scsi/sg.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/Console.h"
#include "platform/MmcCommands.h"
#include "platform/SectorBuffer.h"
#include "platform/linux/LinuxSystem.h"
#include "platform/linux/RawDevice.h"
#include "support/SectorImages.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace platform;
using fixtures::FirstWord;
using fixtures::TempDir;
using fixtures::WriteImage;

namespace {

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
    // An image's length in whole sectors is the medium's size; a character device has none.
    EXPECT_EQ(device->MediumSectors(), 40);
    EXPECT_EQ(OpenRawDevice("/dev/zero")->MediumSectors(), std::nullopt);
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
// Reads so far; every other one a signal interrupts before a byte arrives, the others bring
// at most a sector, so a read of several sectors is interrupted between its parts too.
int readCalls = 0;
}  // namespace

TEST(RawDevice, ReadsOnWhenASignalInterruptsARead) {
    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 20);
    RawDeviceCalls calls = SystemRawDeviceCalls();
    calls.pread = [](int fd, void* buffer, std::size_t count, off_t offset) -> ssize_t {
        if (readCalls++ % 2 == 0) {
            errno = EINTR;
            return -1;
        }
        return ::pread(fd, buffer, std::min<std::size_t>(count, kSectorBytes), offset);
    };
    readCalls = 0;
    auto device = OpenRawDevice(image.string(), calls);
    ASSERT_NE(device, nullptr);
    SectorBuffer buffer;
    ASSERT_TRUE(device->ReadAt(5 * kSectorBytes, buffer.span().first(3 * kSectorBytes)));
    EXPECT_EQ(FirstWord(buffer.data()), 5u);
    EXPECT_EQ(FirstWord(buffer.data() + 2 * kSectorBytes), 7u);
    EXPECT_EQ(readCalls, 6);
}

namespace {
// A drive that answers speed commands as told: what it was sent through the pass-through
// (command block, then any data), what through the CD-ROM driver's selection.
struct SpeedDrive {
    static inline std::vector<std::vector<std::uint8_t>> sent;
    static inline std::vector<int> selected;
    static inline int refuseStreaming = 0;  // 1: ILLEGAL REQUEST; -1: the system will not send it
    static inline int refuseCdSpeed = 0;
    static inline bool streamsCd = false;  // as its Real Time Streaming feature says

    static void Reset(int streaming, int cdSpeed, bool streams = false) {
        sent.clear();
        selected.clear();
        refuseStreaming = streaming;
        refuseCdSpeed = cdSpeed;
        streamsCd = streams;
    }
    static int Scsi(int, void* header) {
        auto& h = *static_cast<sg_io_hdr_t*>(header);
        if (h.cmdp[0] == 0x46) {  // the feature: current, and speeds through SET STREAMING
            auto* data = static_cast<std::uint8_t*>(h.dxferp);
            std::memset(data, 0, h.dxfer_len);
            if (streamsCd && h.dxfer_len >= 13) {
                data[8] = 0x01, data[9] = 0x07, data[10] = 0x01, data[12] = 0x02;
            }
            h.info = SG_INFO_OK;
            return 0;
        }
        std::vector<std::uint8_t> bytes(h.cmdp, h.cmdp + h.cmd_len);
        const auto* data = static_cast<const std::uint8_t*>(h.dxferp);
        bytes.insert(bytes.end(), data, data + h.dxfer_len);
        sent.push_back(bytes);
        const int refuse = h.cmdp[0] == 0xB6 ? refuseStreaming : refuseCdSpeed;
        if (refuse < 0) {
            errno = EPERM;  // the kernel's filter: no handle open for writing
            return -1;
        }
        h.info = refuse > 0 ? SG_INFO_CHECK : SG_INFO_OK;
        if (refuse > 0) {
            const std::uint8_t invalidOpcode[] = {0x70, 0, 0x05, 0, 0, 0,    0,
                                                  10,   0, 0,    0, 0, 0x20, 0};
            std::memcpy(h.sbp, invalidOpcode, sizeof invalidOpcode);
            h.sb_len_wr = sizeof invalidOpcode;
        }
        return 0;
    }
    static RawDeviceCalls Calls() {
        RawDeviceCalls calls = SystemRawDeviceCalls();
        calls.scsi = Scsi;
        calls.selectSpeed = [](int, int multiple) {
            selected.push_back(multiple);
            return 0;
        };
        return calls;
    }
};

using Bytes = std::vector<std::uint8_t>;
const Bytes kCdSpeedFastest{0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
// SET STREAMING and its performance descriptor: flags, start 0, end 999,999, so many kB in
// 1,000 ms read and written.
Bytes Streaming(std::uint8_t flags, std::uint32_t kBs) {
    Bytes b{0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0};
    const Bytes descriptor{flags, 0, 0, 0, 0, 0, 0, 0, 0, 0x0F, 0x42, 0x3F};
    b.insert(b.end(), descriptor.begin(), descriptor.end());
    for (int twice = 0; twice < 2; ++twice) {
        for (const std::uint32_t v : {kBs, 1000u}) {
            b.insert(b.end(),
                     {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                      static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
        }
    }
    return b;
}
}  // namespace

// /dev/null stands for a drive: a device that any user may open for writing.
TEST(RawDevice, AsksTheDriveInItsUnitsAndSetsItBackWhenClosed) {
    constexpr std::uint32_t kLast = 999999;
    const RawDeviceCalls calls = SpeedDrive::Calls();
    const Bytes cd16{0xBB, 0, 0x0B, 0x06, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};  // 2,822 kB/s
    const Bytes dvd8{0xBB, 0, 0x2B, 0x48, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};  // 11,080 kB/s
    struct Row {
        const char* name;
        ReadSpeedRequest request;
        int refuseStreaming;
        int refuseCdSpeed;
        bool streamsCd;
        std::vector<Bytes> sent;    // asked, then set back at the close
        std::vector<int> selected;  // by the CD-ROM driver's selection
    };
    for (const Row& row : {
             Row{"a CD by SET CD SPEED",
                 {16, Medium::CD, kLast},
                 0,
                 0,
                 false,
                 {cd16, kCdSpeedFastest},
                 {}},
             Row{"a CD in a drive that streams",
                 {16, Medium::CD, kLast},
                 0,
                 0,
                 true,
                 {Streaming(0, 2822), Streaming(4, 0)},
                 {}},
             Row{"a DVD by SET STREAMING",
                 {8, Medium::DVD, kLast},
                 0,
                 0,
                 false,
                 {Streaming(0, 11080), Streaming(4, 0)},
                 {}},
             Row{"a Blu-ray disc by SET STREAMING",
                 {12, Medium::BluRay, kLast},
                 0,
                 0,
                 false,
                 {Streaming(0, 54000), Streaming(4, 0)},
                 {}},
             Row{"a DVD drive that knows only SET CD SPEED",
                 {8, Medium::DVD, kLast},
                 1,
                 0,
                 false,
                 {Streaming(0, 11080), dvd8, kCdSpeedFastest},
                 {}},
             Row{"a handle that may not send them: the driver's selection",
                 {8, Medium::DVD, kLast},
                 -1,
                 -1,
                 false,
                 {Streaming(0, 11080), dvd8},
                 {63, 0}},
             Row{"the same for a CD, as the driver counts",
                 {16, Medium::CD, kLast},
                 -1,
                 -1,
                 false,
                 {cd16},
                 {16, 0}},
         }) {
        SCOPED_TRACE(row.name);
        SpeedDrive::Reset(row.refuseStreaming, row.refuseCdSpeed, row.streamsCd);
        auto device = OpenRawDevice("/dev/null", calls);
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(device->SelectReadSpeed(row.request));
        device.reset();
        EXPECT_EQ(SpeedDrive::sent, row.sent);
        EXPECT_EQ(SpeedDrive::selected, row.selected);
    }

    // Told its maximum, a drive is left alone at the close; refusing everything, it says so.
    SpeedDrive::Reset(0, 0);
    EXPECT_TRUE(OpenRawDevice("/dev/null", calls)->SelectReadSpeed({0}));
    EXPECT_EQ(SpeedDrive::sent, std::vector<Bytes>{kCdSpeedFastest});
    EXPECT_FALSE(OpenRawDevice("/dev/null", calls)->SelectReadSpeed({-4}));
    RawDeviceCalls refusing = calls;
    refusing.selectSpeed = [](int, int) { return -1; };
    SpeedDrive::Reset(1, 1);
    EXPECT_FALSE(OpenRawDevice("/dev/null", refusing)->SelectReadSpeed({8}));

    // A disc image has no speed: nothing is sent.
    TempDir dir;
    WriteImage(dir.path() / "disc.iso", 4);
    SpeedDrive::Reset(0, 0);
    EXPECT_FALSE(OpenRawDevice((dir.path() / "disc.iso").string(), calls)->SelectReadSpeed({8}));
    EXPECT_TRUE(SpeedDrive::sent.empty());
    EXPECT_TRUE(SpeedDrive::selected.empty());
}

// A character device that any user may open and no other program locks stands for a drive.
TEST(RawDevice, ADeviceServesOneRunAtATimeAndAnImageAny) {
    constexpr const char* kDevice = "/dev/full";
    auto held = OpenRawDevice(kDevice);
    ASSERT_NE(held, nullptr) << std::strerror(errno);
    errno = 0;
    EXPECT_EQ(OpenRawDevice(kDevice), nullptr);
    EXPECT_EQ(errno, EWOULDBLOCK);
    LinuxSystem system;
    EXPECT_EQ(system.OpenDevice(kDevice), nullptr);
    EXPECT_EQ(system.LastOpenError(), MakeError(DriveProblem::Busy));
    EXPECT_EQ(system.LastOpenError().message(), "The drive is busy with another measurement");
    held.reset();
    EXPECT_NE(system.OpenDevice(kDevice), nullptr);
    EXPECT_FALSE(system.LastOpenError());

    TempDir dir;
    const fs::path image = dir.path() / "disc.iso";
    WriteImage(image, 4);
    const auto reader = OpenRawDevice(image.string());
    EXPECT_NE(reader, nullptr);
    EXPECT_NE(OpenRawDevice(image.string()), nullptr) << "an image is read by any number of runs";

    // A run that dies holding the drive lets go of it with its life.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        held = OpenRawDevice(kDevice);
        const char took = held ? 'y' : 'n';
        (void)!::write(ready[1], &took, 1);
        for (;;) {
            ::pause();
        }
    }
    char took = 0;
    EXPECT_EQ(::read(ready[0], &took, 1), 1);  // no ASSERT: the child is to be ended first
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(took, 'y');
    EXPECT_EQ(OpenRawDevice(kDevice), nullptr);
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    EXPECT_NE(OpenRawDevice(kDevice), nullptr);
}

namespace {
// What the driver says of the drive's disc, and how often it was asked whether it changed.
int driveStatus = 0;
int mediaChanged = 0;
int changeQuestions = 0;
}  // namespace

TEST(RawDevice, TellsADiscTakenOutOrChangedFromOneStillThere) {
    RawDeviceCalls calls = SystemRawDeviceCalls();
    calls.driveStatus = [](int) { return driveStatus; };
    calls.mediaChanged = [](int) {
        ++changeQuestions;
        return mediaChanged;
    };
    struct Row {
        const char* name;
        int status;
        int changed;
        DiscState disc;
    };
    for (const Row& row : {
             Row{"there", CDS_DISC_OK, 0, DiscState::Present},
             Row{"changed", CDS_DISC_OK, 1, DiscState::Changed},
             Row{"no disc", CDS_NO_DISC, 0, DiscState::Removed},
             Row{"tray open", CDS_TRAY_OPEN, 1, DiscState::Removed},
             Row{"spinning up", CDS_DRIVE_NOT_READY, 0, DiscState::Present},
             Row{"a disk, not a CD drive", -1, -1, DiscState::Present},
         }) {
        SCOPED_TRACE(row.name);
        // A change from before the run is the driver's news to whoever asks first: not ours.
        mediaChanged = 1;
        changeQuestions = 0;
        auto device = OpenRawDevice("/dev/zero", calls);  // a device stands for the drive
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(changeQuestions, 1);
        driveStatus = row.status;
        mediaChanged = row.changed;
        EXPECT_EQ(device->CheckDisc(), row.disc);
    }

    // A device the CD-ROM driver does not drive is asked TEST UNIT READY.
    RawDeviceCalls scsiOnly = calls;
    scsiOnly.driveStatus = [](int) {
        errno = ENOTTY;
        return -1;
    };
    static mmc::Sense readySense;
    scsiOnly.scsi = [](int, void* header) {
        auto& h = *static_cast<sg_io_hdr_t*>(header);
        const std::uint8_t fixed[] = {
            0x70, 0, readySense.key, 0, 0, 0, 0, 10, 0, 0, 0, 0, readySense.asc, readySense.ascq};
        const bool ok = readySense == mmc::Sense{};
        h.info = ok ? SG_INFO_OK : SG_INFO_CHECK;
        if (!ok) {
            std::memcpy(h.sbp, fixed, sizeof fixed);
            h.sb_len_wr = sizeof fixed;
        }
        return h.cmdp[0] == 0x00 ? 0 : -1;
    };
    for (const auto& [sense, disc] : std::vector<std::pair<mmc::Sense, DiscState>>{
             {{}, DiscState::Present},
             {{0x02, 0x3A, 0x00}, DiscState::Removed},
             {{0x06, 0x28, 0x00}, DiscState::Changed},
         }) {
        readySense = sense;
        EXPECT_EQ(OpenRawDevice("/dev/zero", scsiOnly)->CheckDisc(), disc) << int{sense.key};
    }

    // An image is never asked: it cannot leave.
    TempDir dir;
    WriteImage(dir.path() / "disc.iso", 4);
    changeQuestions = 0;
    driveStatus = CDS_NO_DISC;
    EXPECT_EQ(OpenRawDevice((dir.path() / "disc.iso").string(), calls)->CheckDisc(),
              DiscState::Present);
    EXPECT_EQ(changeQuestions, 0);
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
    // The fine clock is the tick's own clock, in microseconds.
    const std::uint32_t tick = system.TickCount();
    const std::uint64_t fine = system.MicroTicks();
    EXPECT_LE(static_cast<std::uint32_t>(fine / 1000) - tick, 1000u);
    EXPECT_GE(system.MicroTicks(), fine);
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

TEST(Console, StopRequestsSurviveBurstsOfSignals) {
    InstallStopRequests();
    EXPECT_FALSE(StopRequested());
    for (int i = 0; i < 20; ++i) {
        ::raise(i % 2 == 0 ? SIGINT : SIGTERM);  // the program lives on to write its files
    }
    EXPECT_TRUE(StopRequested());
}

TEST(Console, AStopWhileTheDriveReadsSaysSoOnce) {
    InstallStopRequests();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const int savedError = ::dup(STDERR_FILENO);
    ::dup2(pipe[1], STDERR_FILENO);
    ::raise(SIGINT);  // between reads: nothing to say
    SetWaitingForDrive(true);
    ::raise(SIGINT);
    ::raise(SIGTERM);
    SetWaitingForDrive(false);
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);
    ::close(pipe[1]);
    std::string said(256, '\0');
    const ssize_t n = ::read(pipe[0], said.data(), said.size());
    ::close(pipe[0]);
    said.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    EXPECT_EQ(said, kWaitingForDriveNote);
    EXPECT_TRUE(StopRequested());
}

TEST(DriveIdentity, FromTheKernelsAttributes) {
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
    EXPECT_FALSE(system.OpenDevice(image.string())->SelectReadSpeed({16}));
}

namespace {
// A drive asked about itself through the pass-through: its INQUIRY answer, its current
// profile, or NOT READY / MEDIUM NOT PRESENT; or no SCSI device at all.
struct AskedDrive {
    static inline bool scsi = true;
    static inline bool empty = false;
    static inline std::uint16_t profile = 0;
    static inline std::uint16_t fastest = 0;  // kB/s in GET PERFORMANCE's one descriptor
    static int Answer(int, void* header) {
        auto& h = *static_cast<sg_io_hdr_t*>(header);
        if (!scsi) {
            errno = ENOTTY;
            return -1;
        }
        auto* data = static_cast<std::uint8_t*>(h.dxferp);
        if (h.cmdp[0] == 0x12) {
            const std::string answer =
                std::string(8, '\0') + "HL-DT-ST" + "BD-RE  WH16NS60 " + "1.02";
            std::copy_n(answer.begin(), std::min<std::size_t>(answer.size(), h.dxfer_len), data);
        } else if (h.cmdp[0] == 0x46 && empty) {
            const std::uint8_t notReady[] = {0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0};
            std::memcpy(h.sbp, notReady, sizeof notReady);
            h.sb_len_wr = sizeof notReady;
            h.info = SG_INFO_CHECK;
            return 0;
        } else if (h.cmdp[0] == 0x46) {
            std::memset(data, 0, h.dxfer_len);
            data[6] = static_cast<std::uint8_t>(profile >> 8);
            data[7] = static_cast<std::uint8_t>(profile);
        } else if (h.cmdp[0] == 0xAC && fastest > 0) {
            std::memset(data, 0, h.dxfer_len);
            data[3] = 4 + 16;
            data[8 + 14] = static_cast<std::uint8_t>(fastest >> 8);
            data[8 + 15] = static_cast<std::uint8_t>(fastest);
        }
        h.info = SG_INFO_OK;
        return 0;
    }
};
}  // namespace

// /dev/null stands for the drive's device.
TEST(DriveIdentity, FromTheDriveItselfWithItsMedium) {
    LinuxSystemOptions options;
    options.scsi = AskedDrive::Answer;
    LinuxSystem system(options);
    struct Row {
        const char* name;
        bool scsi;
        bool empty;
        std::uint16_t profile;
        DriveIdentity identity;
        std::uint16_t fastest = 0;
    };
    const DriveIdentity drive{"HL-DT-ST", "BD-RE  WH16NS60", "1.02"};
    auto with = [&drive](const char* medium) {
        DriveIdentity d = drive;
        d.medium = medium;
        return d;
    };
    for (const Row& row : {
             Row{"a DVD+R DL", true, false, 0x002B, with("DVD+R DL")},
             Row{"a BD-RE", true, false, 0x0043, with("BD-RE")},
             Row{"no disc, as the profile says", true, false, 0x0000, with("no disc")},
             Row{"no disc, as the sense says", true, true, 0x0000, with("no disc")},
             Row{"a profile of no disc we read", true, false, 0x0050, with("")},
             Row{"no SCSI device", false, false, 0, DriveIdentity{}},
             Row{"a drive that gives its fastest read", true, false, 0x0010,
                 [&] {
                     DriveIdentity d = with("DVD-ROM");
                     d.fastestKBs = 22160;
                     return d;
                 }(),
                 22160},
         }) {
        SCOPED_TRACE(row.name);
        AskedDrive::scsi = row.scsi;
        AskedDrive::empty = row.empty;
        AskedDrive::profile = row.profile;
        AskedDrive::fastest = row.fastest;
        EXPECT_EQ(system.IdentityOf("/dev/null"), row.identity);
    }
}
