// The Windows system services, under Wine in the test prefix: drive letters, raw reads of the
// prefix's CD-ROM drives and of images, the version, modules, files.
#include <windows.h>

#include <ntddcdrm.h>
#include <winioctl.h>

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/SectorBuffer.h"
#include "platform/Sound.h"
#include "platform/windows/DriveIdentity.h"
#include "platform/windows/HomePage.h"
#include "platform/windows/RawDevice.h"
#include "platform/windows/WindowsSystem.h"
#include "support/SectorImages.h"
#include "support/TempDir.h"
#include "support/WineTest.h"

namespace fs = std::filesystem;
using namespace platform;
using fixtures::FirstWord;
using fixtures::ReadBytes;
using fixtures::TempDir;
using fixtures::WriteImage;

namespace {

std::string Text(const std::uint8_t* p, std::size_t n) {
    return {reinterpret_cast<const char*>(p), n};
}

std::string SectorMarker(std::uint64_t sector) {
    char text[16];
    std::snprintf(text, sizeof text, "SECTOR%08llu", static_cast<unsigned long long>(sector));
    return text;
}

// A file system of 4096-byte sectors, where an unbuffered read must start and end on one of
// them: 2048-byte reads are refused as Windows refuses them, with ERROR_INVALID_PARAMETER.
struct FourKSectors {
    static inline std::map<void*, std::int64_t> unbuffered;  // open handles and their offset
    static inline int opens = 0;
    static inline bool refuseAtOpen = false;

    static void* Open(const char* path, std::uint32_t flags) {
        ++opens;
        const bool direct = (flags & FILE_FLAG_NO_BUFFERING) != 0;
        if (direct && refuseAtOpen) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        void* h = SystemRawDeviceCalls().open(path, flags);
        if (h != INVALID_HANDLE_VALUE && direct) {
            unbuffered[h] = 0;
        }
        return h;
    }
    static bool Seek(void* h, std::int64_t offset) {
        if (unbuffered.count(h) > 0) {
            unbuffered[h] = offset;
        }
        return SystemRawDeviceCalls().seek(h, offset);
    }
    static bool Read(void* h, void* buffer, std::uint32_t bytes, std::uint32_t* got) {
        const auto it = unbuffered.find(h);
        if (it != unbuffered.end() && (it->second % 4096 != 0 || bytes % 4096 != 0)) {
            *got = 0;
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        return SystemRawDeviceCalls().read(h, buffer, bytes, got);
    }
    static void Close(void* h) {
        unbuffered.erase(h);
        SystemRawDeviceCalls().close(h);
    }
    static constexpr RawDeviceCalls kCalls{Open, Seek, Read, Close};
};

}  // namespace

TEST(WindowsSystem, OffersEveryDriveLetterAndListsTheCdRomDrives) {
    WindowsSystem system;
    const auto letters = system.CandidateDrives();
    ASSERT_EQ(letters.size(), 26u);
    EXPECT_EQ(letters.front(), "A:");
    EXPECT_EQ(letters.back(), "Z:");
    std::vector<std::string> optical;
    for (const std::string& letter : letters) {
        if (system.DriveTypeOf(letter) == DriveType::CdRom) {
            optical.push_back(letter);
        }
    }
    EXPECT_EQ(optical, (std::vector<std::string>{wine::kIsoDrive, wine::kBigDrive}))
        << "the prefix of scripts/wine-ctest.sh maps D: and E: to CD-ROM drives";
    EXPECT_EQ(system.DriveTypeOf("C:"), DriveType::Fixed);
    EXPECT_EQ(system.DriveTypeOf("q:"), DriveType::NoRootDir);

    // Images and other paths the user names.
    TempDir dir;
    WriteImage(dir / "disc.iso", 1);
    EXPECT_EQ(system.DriveTypeOf((dir / "disc.iso").string()), DriveType::CdRom);
    EXPECT_EQ(system.DriveTypeOf((dir / "missing.iso").string()), DriveType::NoRootDir);
    EXPECT_EQ(system.DriveTypeOf(dir.path().string()), DriveType::Unknown);

    EXPECT_EQ(system.DevicePath("D:"), "\\\\.\\D:");
    EXPECT_EQ(system.DevicePath(wine::TestIso()), wine::TestIso());
    EXPECT_FALSE(IsDriveLetterEntry("D:\\"));
    EXPECT_FALSE(IsDriveLetterEntry("1:"));
    EXPECT_FALSE(IsDriveLetterEntry("sim"));
}

TEST(WindowsSystem, ReadsTheDiscThroughTheDriveLetterAndAsAnImage) {
    WindowsSystem system;
    for (const std::string& entry : {std::string(wine::kIsoDrive), wine::TestIso()}) {
        SCOPED_TRACE(entry);
        auto device = system.OpenDevice(entry);
        ASSERT_NE(device, nullptr) << system.LastOpenError().message();
        EXPECT_FALSE(system.LastOpenError());
        SectorBuffer buffer;
        ASSERT_TRUE(device->ReadAt(16 * kSectorBytes, buffer.span().first(kSectorBytes)));
        EXPECT_EQ(Text(buffer.data() + 1, 5), "CD001");
        EXPECT_EQ(Text(buffer.data() + 40, std::strlen(wine::kTestIsoLabel)), wine::kTestIsoLabel);
        const std::uint32_t sectors = buffer[80] | (buffer[81] << 8) | (buffer[82] << 16);
        ASSERT_GT(sectors, 2000u);

        ASSERT_TRUE(device->ReadAt(0, buffer.span()));  // a whole block of 1000 sectors
        EXPECT_TRUE(device->ReadAt((sectors - 1) * std::uint64_t{kSectorBytes},
                                   buffer.span().first(kSectorBytes)));
        // Sectors past the end do not arrive, and a read that reaches them fails.
        EXPECT_FALSE(device->ReadAt((sectors - 1) * std::uint64_t{kSectorBytes},
                                    buffer.span().first(2 * kSectorBytes)));
    }
}

TEST(WindowsSystem, ADriveServesOneRunAtATimeAndAnImageAny) {
    WindowsSystem system;
    auto held = system.OpenDevice(std::string(wine::kIsoDrive));
    ASSERT_NE(held, nullptr) << system.LastOpenError().message();
    EXPECT_EQ(system.OpenDevice(std::string(wine::kIsoDrive)), nullptr);
    EXPECT_EQ(system.LastOpenError(), MakeError(DriveProblem::Busy));

    // The lock is the drive's, not the thread's: another thread of the same run is refused
    // too, and the drive is free again once the run closes it.
    std::error_code fromAnotherThread;
    std::thread([&] {
        WindowsSystem other;
        EXPECT_EQ(other.OpenDevice(std::string(wine::kIsoDrive)), nullptr);
        fromAnotherThread = other.LastOpenError();
    }).join();
    EXPECT_EQ(fromAnotherThread, MakeError(DriveProblem::Busy));
    held.reset();
    EXPECT_NE(system.OpenDevice(std::string(wine::kIsoDrive)), nullptr);
    EXPECT_FALSE(system.LastOpenError());

    const auto reader = system.OpenDevice(wine::TestIso());
    EXPECT_NE(reader, nullptr);
    EXPECT_NE(system.OpenDevice(wine::TestIso()), nullptr) << "an image is read by any number";
}

TEST(WindowsSystem, ReadsBeyondTwoAndFourGibibytes) {
    WindowsSystem system;
    for (const std::string& entry : {std::string(wine::kBigDrive), wine::TestBigImage()}) {
        SCOPED_TRACE(entry);
        auto device = system.OpenDevice(entry);
        ASSERT_NE(device, nullptr) << system.LastOpenError().message();
        SectorBuffer buffer;
        for (const std::uint64_t sector : {16ull, 1048576ull, 2097153ull}) {
            ASSERT_TRUE(device->ReadAt(sector * kSectorBytes, buffer.span().first(kSectorBytes)))
                << sector;
            EXPECT_EQ(Text(buffer.data(), 14), SectorMarker(sector));
        }
        EXPECT_FALSE(device->ReadAt(2097154ull * kSectorBytes, buffer.span().first(kSectorBytes)));
        // The medium's size: an image's length; a drive's, where Wine's driver says it.
        const auto sectors = device->MediumSectors();
        if (entry == wine::TestBigImage() || sectors) {
            EXPECT_EQ(sectors, 2097154);
        }
    }
    const std::uint64_t fine = system.MicroTicks();
    EXPECT_GE(system.MicroTicks(), fine);
}

TEST(WindowsSystem, SaysWhyADriveDoesNotOpen) {
    WindowsSystem system;
    EXPECT_EQ(system.OpenDevice("Q:"), nullptr);
    EXPECT_TRUE(system.LastOpenError());
    TempDir dir;
    EXPECT_EQ(system.OpenDevice((dir / "missing.iso").string()), nullptr);
    EXPECT_EQ(system.LastOpenError(), std::errc::no_such_file_or_directory);
    EXPECT_NE(system.OpenDevice("D:"), nullptr);
    EXPECT_FALSE(system.LastOpenError());

    const std::error_code notReady(ERROR_NOT_READY, std::system_category());
    EXPECT_EQ(OpenFailureHint("\\\\.\\D:", notReady), "no disc in the drive");
    const std::error_code denied(ERROR_ACCESS_DENIED, std::system_category());
    EXPECT_NE(OpenFailureHint("\\\\.\\D:", denied), "");
    EXPECT_EQ(OpenFailureHint("C:\\disc.iso", denied), "");
}

TEST(RawDevice, ImagesAreReadBufferedWhereUnbufferedReadsAreRefused) {
    TempDir dir;
    const std::string image = (dir / "disc.iso").string();
    WriteImage(image, 40);
    SectorBuffer buffer;
    FourKSectors::opens = 0;
    auto device = OpenRawDevice(image, FourKSectors::kCalls);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->ReadAt(4 * kSectorBytes, buffer.span().first(2 * kSectorBytes)));
    EXPECT_EQ(FourKSectors::opens, 1);  // whole 4096-byte sectors: no need to change
    ASSERT_TRUE(device->ReadAt(5 * kSectorBytes, buffer.span().first(kSectorBytes)));
    EXPECT_EQ(FirstWord(buffer.data()), 5u);
    EXPECT_EQ(FourKSectors::opens, 2);
    EXPECT_TRUE(FourKSectors::unbuffered.empty());  // the refused handle is closed
    ASSERT_TRUE(device->ReadAt(17 * kSectorBytes, buffer.span().first(3 * kSectorBytes)));
    EXPECT_EQ(FirstWord(buffer.data() + 2 * kSectorBytes), 19u);
    EXPECT_FALSE(device->ReadAt(39 * kSectorBytes, buffer.span().first(2 * kSectorBytes)));
    device.reset();

    // A drive is never read through the cache: its figures would be the cache's.
    auto drive = OpenRawDevice("\\\\.\\D:", FourKSectors::kCalls);
    ASSERT_NE(drive, nullptr);
    EXPECT_FALSE(drive->ReadAt(16 * kSectorBytes, buffer.span().first(kSectorBytes)));
    EXPECT_EQ(FourKSectors::opens, 3);
    drive.reset();

    // A file system that refuses unbuffered access already at the open.
    FourKSectors::refuseAtOpen = true;
    device = OpenRawDevice(image, FourKSectors::kCalls);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->ReadAt(7 * kSectorBytes, buffer.span().first(kSectorBytes)));
    EXPECT_EQ(FirstWord(buffer.data()), 7u);
    EXPECT_EQ(OpenRawDevice("\\\\.\\D:", FourKSectors::kCalls), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    FourKSectors::refuseAtOpen = false;
}

namespace {

// A drive that answers the questions put to it, or refuses them, and remembers them: the
// speeds it was told, and what was asked how. Reads go to the real device.
struct AnsweringDrive {
    static inline bool answers = true;
    // A speed request as the drive took it: SET CD SPEED's read speed, or SET STREAMING's
    // read size a second, last sector and "restore defaults".
    struct Asked {
        int type;
        ULONG kBs;
        ULONG lastSector = 0;
        bool restore = false;
        friend bool operator==(const Asked&, const Asked&) = default;
    };
    static inline std::vector<Asked> speeds;
    static inline bool streams = true;             // whether SET STREAMING is taken
    static inline bool streamsCd = false;          // as the Real Time Streaming feature says
    static inline std::vector<std::string> asked;  // the paths opened without access rights
    static inline std::vector<std::uint8_t> descriptor;
    static inline int closes = 0;
    static inline DWORD verify = ERROR_SUCCESS;  // the answer to a verify, when not success
    static inline int profile = -1;              // the current profile; -1 no answer, -2 not ready
    static inline int verifies = 0;

    static void Reset(bool answer) {
        answers = answer;
        verify = ERROR_SUCCESS;
        verifies = 0;
        profile = -1;
        speeds.clear();
        streams = true;
        streamsCd = false;
        asked.clear();
        descriptor.clear();
        closes = 0;
    }
    static bool Control(void* handle, std::uint32_t code, const void* in, std::uint32_t inBytes,
                        void* out, std::uint32_t outBytes, std::uint32_t* returned) {
        (void)handle;
        *returned = 0;
        constexpr std::uint32_t kStreamingBytes = 36;  // as Windows lays the request out
        if (code == IOCTL_CDROM_SET_SPEED && inBytes == sizeof(CDROM_SET_SPEED)) {
            const auto& r = *static_cast<const CDROM_SET_SPEED*>(in);
            EXPECT_EQ(r.WriteSpeed, 0xFFFF);
            EXPECT_EQ(r.RotationControl, CdromDefaultRotation);
            speeds.push_back({r.RequestType, r.ReadSpeed});
        } else if (code == IOCTL_CDROM_SET_SPEED && inBytes == kStreamingBytes) {
            const auto* b = static_cast<const std::uint8_t*>(in);
            const auto field = [b](int at) {
                ULONG v = 0;
                std::memcpy(&v, b + at, sizeof v);
                return v;
            };
            EXPECT_EQ(field(0), static_cast<ULONG>(CdromSetStreaming));
            EXPECT_EQ(field(8), 1000u);      // read time, ms
            EXPECT_EQ(field(12), field(4));  // written as fast as read
            if (!streams) {
                ::SetLastError(ERROR_INVALID_FUNCTION);
                return false;
            }
            speeds.push_back({CdromSetStreaming, field(4), field(24), b[32] != 0});
        } else if (code == CTL_CODE(FILE_DEVICE_CD_ROM, 0x16, METHOD_BUFFERED, FILE_READ_ACCESS) &&
                   static_cast<const DWORD*>(in)[1] == 2) {  // one feature: Real Time Streaming
            if (!streamsCd || outBytes < 13) {
                ::SetLastError(ERROR_INVALID_FUNCTION);
                return false;
            }
            auto* answer = static_cast<std::uint8_t*>(out);
            std::memset(answer, 0, outBytes);
            answer[8] = 0x01, answer[9] = 0x07, answer[10] = 0x01, answer[12] = 0x02;
            *returned = outBytes;
        } else if (code == CTL_CODE(FILE_DEVICE_CD_ROM, 0x16, METHOD_BUFFERED, FILE_READ_ACCESS)) {
            if (profile < 0 || outBytes < 8) {
                ::SetLastError(profile == -2 ? ERROR_NOT_READY : ERROR_INVALID_FUNCTION);
                return false;
            }
            auto* header = static_cast<std::uint8_t*>(out);
            std::memset(header, 0, 8);
            header[6] = static_cast<std::uint8_t>(profile >> 8);
            header[7] = static_cast<std::uint8_t>(profile);
            *returned = 8;
        } else if (code == IOCTL_STORAGE_CHECK_VERIFY) {
            ++verifies;
            ::SetLastError(verify);
            return verify == ERROR_SUCCESS;
        } else if (code == IOCTL_STORAGE_QUERY_PROPERTY &&
                   inBytes >= sizeof(STORAGE_PROPERTY_QUERY)) {
            const auto& query = *static_cast<const STORAGE_PROPERTY_QUERY*>(in);
            if (query.PropertyId != StorageDeviceProperty ||
                query.QueryType != PropertyStandardQuery) {
                return false;
            }
            *returned =
                static_cast<std::uint32_t>(std::min<std::size_t>(descriptor.size(), outBytes));
            std::memcpy(out, descriptor.data(), *returned);
        } else {
            return false;
        }
        if (!answers) {
            ::SetLastError(ERROR_INVALID_FUNCTION);
        }
        return answers;
    }
    static void* OpenToAsk(const char* path) {
        asked.push_back(path);
        return path == std::string("\\\\.\\Q:") ? INVALID_HANDLE_VALUE
                                                : reinterpret_cast<void*>(0x1234);
    }
    static void Close(void* handle) {
        ++closes;
        if (handle != reinterpret_cast<void*>(0x1234)) {
            SystemRawDeviceCalls().close(handle);
        }
    }
    static RawDeviceCalls Calls() {
        RawDeviceCalls calls = SystemRawDeviceCalls();
        calls.control = Control;
        calls.openToAsk = OpenToAsk;
        calls.close = Close;
        return calls;
    }
};

// A storage device descriptor with the three strings at the end, where a drive puts them;
// an offset of 0 for an empty one.
std::vector<std::uint8_t> Descriptor(const std::string& vendor, const std::string& product,
                                     const std::string& revision) {
    std::vector<std::uint8_t> bytes(sizeof(STORAGE_DEVICE_DESCRIPTOR));
    STORAGE_DEVICE_DESCRIPTOR header{};
    header.Version = sizeof header;
    header.DeviceType = 5;  // CD/DVD
    header.RemovableMedia = TRUE;
    DWORD* offsets[] = {&header.VendorIdOffset, &header.ProductIdOffset,
                        &header.ProductRevisionOffset};
    const std::string* texts[] = {&vendor, &product, &revision};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i]->empty()) {
            *offsets[i] = static_cast<DWORD>(bytes.size());
            bytes.insert(bytes.end(), texts[i]->begin(), texts[i]->end());
            bytes.push_back(0);
        }
    }
    header.Size = static_cast<DWORD>(bytes.size());
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

}  // namespace

TEST(RawDevice, AsksTheDriveInItsUnitsAndSetsItBackWhenClosed) {
    using Asked = AnsweringDrive::Asked;
    constexpr ULONG kLast = 999999;
    const RawDeviceCalls calls = AnsweringDrive::Calls();
    struct Row {
        const char* name;
        ReadSpeedRequest request;
        bool streams;
        bool streamsCd;
        std::vector<Asked> asked;  // then set back at the close
    };
    for (const Row& row : {
             // 16 x 176.4 kB/s, as the Linux build asks: not 16 x 150.
             Row{"a CD",
                 {16, Medium::CD, kLast},
                 true,
                 false,
                 {{CdromSetSpeed, 2822}, {CdromSetSpeed, 0xFFFF}}},
             Row{"a CD in a drive that streams",
                 {16, Medium::CD, kLast},
                 true,
                 true,
                 {{CdromSetStreaming, 2822, kLast}, {CdromSetStreaming, 0, kLast, true}}},
             Row{"a DVD",
                 {8, Medium::DVD, kLast},
                 true,
                 false,
                 {{CdromSetStreaming, 11080, kLast}, {CdromSetStreaming, 0, kLast, true}}},
             Row{"a DVD drive without SET STREAMING",
                 {8, Medium::DVD, kLast},
                 false,
                 false,
                 {{CdromSetSpeed, 11080}, {CdromSetSpeed, 0xFFFF}}},
         }) {
        SCOPED_TRACE(row.name);
        AnsweringDrive::Reset(true);
        AnsweringDrive::streams = row.streams;
        AnsweringDrive::streamsCd = row.streamsCd;
        auto device = OpenRawDevice("\\\\.\\D:", calls);
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(device->SelectReadSpeed(row.request));
        EXPECT_FALSE(device->SelectReadSpeed({-4}));
        SectorBuffer buffer;
        EXPECT_TRUE(device->ReadAt(16 * kSectorBytes, buffer.span().first(kSectorBytes)));
        device.reset();
        EXPECT_EQ(AnsweringDrive::speeds, row.asked);
    }

    // Told its maximum, or refusing, a drive is left alone at the close.
    AnsweringDrive::Reset(true);
    EXPECT_TRUE(OpenRawDevice("\\\\.\\D:", calls)->SelectReadSpeed({0}));
    EXPECT_EQ(AnsweringDrive::speeds, (std::vector<Asked>{{CdromSetSpeed, 0xFFFF}}));
    AnsweringDrive::Reset(false);
    EXPECT_FALSE(OpenRawDevice("\\\\.\\D:", calls)->SelectReadSpeed({8}));
    EXPECT_EQ(AnsweringDrive::speeds, (std::vector<Asked>{{CdromSetSpeed, 1411}}));

    // A disc image has no speed to set: it is not asked.
    AnsweringDrive::Reset(true);
    EXPECT_FALSE(OpenRawDevice(wine::TestIso(), calls)->SelectReadSpeed({8}));
    EXPECT_TRUE(AnsweringDrive::speeds.empty());
}

TEST(RawDevice, TellsADiscTakenOutOrChangedFromOneStillThere) {
    const RawDeviceCalls calls = AnsweringDrive::Calls();
    struct Row {
        const char* name;
        DWORD verify;
        DiscState disc;
    };
    for (const Row& row : {
             Row{"there", ERROR_SUCCESS, DiscState::Present},
             Row{"not ready", ERROR_NOT_READY, DiscState::Removed},
             Row{"no medium", ERROR_NO_MEDIA_IN_DRIVE, DiscState::Removed},
             Row{"changed", ERROR_MEDIA_CHANGED, DiscState::Changed},
             Row{"a drive that cannot say", ERROR_INVALID_FUNCTION, DiscState::Present},
         }) {
        SCOPED_TRACE(row.name);
        AnsweringDrive::Reset(true);
        // A change from before the run is the class driver's news to whoever asks first.
        AnsweringDrive::verify = ERROR_MEDIA_CHANGED;
        auto device = OpenRawDevice("\\\\.\\D:", calls);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(AnsweringDrive::verifies, 1);
        AnsweringDrive::verify = row.verify;
        EXPECT_EQ(device->CheckDisc(), row.disc);
    }
    AnsweringDrive::Reset(true);
    AnsweringDrive::verify = ERROR_NOT_READY;
    EXPECT_EQ(OpenRawDevice(wine::TestIso(), calls)->CheckDisc(), DiscState::Present);
    EXPECT_EQ(AnsweringDrive::verifies, 0) << "an image cannot leave: it is never asked";
}

TEST(DriveIdentity, FromTheStorageDeviceDescriptor) {
    const RawDeviceCalls calls = AnsweringDrive::Calls();
    AnsweringDrive::Reset(true);
    AnsweringDrive::descriptor = Descriptor("HL-DT-ST", "DVDRAM GH24NSD1 ", "LG00");
    EXPECT_EQ(QueryDriveIdentity("\\\\.\\D:", calls),
              (DriveIdentity{"HL-DT-ST", "DVDRAM GH24NSD1", "LG00"}));
    // Asked without the right to read, which needs no administrator, and let go again.
    EXPECT_EQ(AnsweringDrive::asked, std::vector<std::string>{"\\\\.\\D:"});
    EXPECT_EQ(AnsweringDrive::closes, 2);  // and its medium on a handle of its own

    // The loaded medium, asked on a handle that may read; none, or not ready: no disc.
    for (const auto& [profile, medium] : std::vector<std::pair<int, std::string>>{
             {0x002B, "DVD+R DL"}, {0x0009, "CD-R"}, {0x0000, "no disc"}, {-2, "no disc"}}) {
        AnsweringDrive::profile = profile;
        EXPECT_EQ(QueryDriveIdentity("\\\\.\\D:", calls).medium, medium) << profile;
    }
    AnsweringDrive::profile = -1;

    // A drive may say anything: one printable line of at most 64 characters is kept, a string
    // it leaves out stays empty.
    AnsweringDrive::descriptor =
        Descriptor("", "  Odd\x01\x7f" + std::string(100, 'M') + "\n", "\xff");
    EXPECT_EQ(QueryDriveIdentity("\\\\.\\D:", calls),
              (DriveIdentity{"", "Odd??" + std::string(57, 'M'), "?"}));

    // Nothing of what lies outside the answer: an offset past its end, a string cut short.
    std::vector<std::uint8_t> answer = Descriptor("VENDOR", "PRODUCT", "REV1");
    EXPECT_EQ(IdentityFromDescriptor(std::span(answer).first(answer.size() - 3)),
              (DriveIdentity{"VENDOR", "PRODUCT", "RE"}));
    EXPECT_EQ(IdentityFromDescriptor(std::span(answer).first(sizeof(STORAGE_DEVICE_DESCRIPTOR))),
              DriveIdentity{});
    EXPECT_EQ(IdentityFromDescriptor(std::span(answer).first(10)), DriveIdentity{});
    const DWORD pastTheEnd = 5000;
    std::memcpy(answer.data() + offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset), &pastTheEnd,
                sizeof pastTheEnd);
    EXPECT_EQ(IdentityFromDescriptor(answer), (DriveIdentity{"VENDOR", "", "REV1"}));

    // A drive that does not answer, or is not there, has no identity.
    AnsweringDrive::Reset(false);
    AnsweringDrive::descriptor = Descriptor("HL-DT-ST", "DVDRAM GH24NSD1", "LG00");
    EXPECT_EQ(QueryDriveIdentity("\\\\.\\D:", calls), DriveIdentity{});
    EXPECT_EQ(AnsweringDrive::closes, 1);
    AnsweringDrive::Reset(true);
    EXPECT_EQ(QueryDriveIdentity("\\\\.\\Q:", calls), DriveIdentity{});
    EXPECT_EQ(AnsweringDrive::closes, 0);
}

TEST(WindowsSystem, WinesDrivesAnswerNeitherTheIdentityNorTheSpeedRequest) {
    // Wine's CD-ROM driver knows neither request: the drive has no identity, and a run asked
    // for a speed goes on at the drive's own.
    WindowsSystem system;
    EXPECT_EQ(system.IdentityOf(wine::kIsoDrive), DriveIdentity{});
    EXPECT_EQ(system.IdentityOf(wine::TestIso()), DriveIdentity{});
    EXPECT_EQ(system.IdentityOf("Q:"), DriveIdentity{});
    auto device = system.OpenDevice(wine::kIsoDrive);
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->SelectReadSpeed({16}));
    SectorBuffer buffer;
    ASSERT_TRUE(device->ReadAt(16 * kSectorBytes, buffer.span().first(kSectorBytes)));
    EXPECT_EQ(Text(buffer.data() + 1, 5), "CD001");
}

TEST(WindowsSystem, TakesTheVersionRecordAsWineReportsIt) {
    // The prefix reports Windows 7 unless a test asks for another version.
    const VersionRecord v = WindowsSystem().QueryVersion();
    EXPECT_EQ(v.platformId, kPlatformWinNT);
    EXPECT_EQ(v.majorVersion, 6u);
    EXPECT_EQ(v.minorVersion, 1u);
    EXPECT_EQ(v.buildNumber, 7601u);
    EXPECT_EQ(v.csdVersion, "Service Pack 1");
}

TEST(WindowsSystem, LoadsModulesAndTellsMissingExportsApart) {
    WindowsSystem system;
    EXPECT_EQ(system.LoadModule("sectrd32.dll"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    auto full = system.LoadModule(wine::WindowsPath(SECTORLIB_FULL));
    ASSERT_NE(full, nullptr);
    // Called through the library's calling convention: a wrong one would upset the stack.
    auto check = reinterpret_cast<CheckCDSectors32Fn>(full->Resolve("CheckCDSectors32"));
    ASSERT_NE(check, nullptr);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(check('D', 7, 1), -1);
        ASSERT_EQ(check('D', 8, 1), 0);
    }
    EXPECT_NE(full->Resolve("ReadCDvtoc32"), nullptr);
    EXPECT_EQ(full->Resolve("CheckCDSectors32@12"), nullptr);  // exported by the plain name

    auto partial = system.LoadModule(wine::WindowsPath(SECTORLIB_PARTIAL));
    ASSERT_NE(partial, nullptr);
    EXPECT_NE(partial->Resolve("ReadCDvtoc32"), nullptr);
    EXPECT_EQ(partial->Resolve("CheckCDSectors32"), nullptr);
}

TEST(WindowsFiles, AnswerInWindowsTerms) {
    TempDir dir;
    WriteImage(dir / "disc.iso", 20);
    const std::string image = (dir / "disc.iso").string();
    EXPECT_EQ(InspectPath(image).kind, PathKind::Regular);
    EXPECT_EQ(InspectPath(image).bytes, 20u * kSectorBytes);
    EXPECT_EQ(InspectPath(dir.path().string()).kind, PathKind::Directory);
    const PathInfo missing = InspectPath((dir / "missing").string());
    EXPECT_EQ(missing.kind, PathKind::Missing);
    EXPECT_EQ(missing.error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(InspectPath("\\\\.\\D:").kind, PathKind::BlockDevice);

    std::uint8_t head[4];
    ASSERT_TRUE(PeekBytes(image, 3 * kSectorBytes, head));
    EXPECT_EQ(FirstWord(head), 3u);
    EXPECT_FALSE(PeekBytes(image, 20 * kSectorBytes, head));

    const FileBytes whole = ReadRegularFile(image, 1 << 20);
    EXPECT_EQ(whole.error, std::error_code());
    EXPECT_EQ(whole.bytes.size(), 20u * kSectorBytes);
    const FileBytes tooLarge = ReadRegularFile(image, 1000);
    EXPECT_EQ(tooLarge.error, std::errc::file_too_large);
    EXPECT_TRUE(tooLarge.bytes.empty());
    // A device is never a document.
    EXPECT_EQ(ReadRegularFile("NUL", 1000).error, MakeError(FileProblem::NotRegular));
    EXPECT_EQ(ReadRegularFile("\\\\.\\D:", 1 << 30).error, MakeError(FileProblem::NotRegular));
    EXPECT_EQ(ReadRegularFile(dir.path().string(), 1000).error, std::errc::is_a_directory);
    EXPECT_EQ(ReadRegularFile((dir / "missing").string(), 1000).error,
              std::errc::no_such_file_or_directory);

    EXPECT_FALSE(CheckFolderWritable(dir.path().string()));
    EXPECT_EQ(CheckFolderWritable(image), std::errc::not_a_directory);
    EXPECT_TRUE(CheckFolderWritable((dir / "missing").string()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    EXPECT_FALSE(IsTerminal(stdout));  // ctest reads it through a pipe
}

TEST(WindowsFiles, CommandLineDrivesAndImages) {
    EXPECT_EQ(DriveEntryForArgument("D:"), "D:");
    EXPECT_EQ(DriveEntryForArgument("sim-unpaced"), "sim-unpaced");
    EXPECT_EQ(DriveEntryForArgument("C:\\images\\disc.iso"), "C:\\images\\disc.iso");
    EXPECT_EQ(DriveEntryForArgument("C:/images/disc.iso"), "C:/images/disc.iso");
    const std::string here = fs::current_path().string();
    EXPECT_EQ(DriveEntryForArgument("images\\disc.iso"), here + "\\images\\disc.iso");
    EXPECT_EQ(DriveEntryForArgument(".\\disc.iso"), here + "\\disc.iso");
    EXPECT_EQ(DriveEntryForArgument("./disc.iso"), here + "\\disc.iso");
}

TEST(WindowsFiles, WritesReplaceTheTargetOnlyWhenComplete) {
    TempDir dir;
    const std::string target = (dir / "run.dat").string();
    const std::vector<std::uint8_t> first{'o', 'n', 'e'};
    const std::vector<std::uint8_t> second{'t', 'w', 'o', '!'};
    ASSERT_FALSE(WriteWholeFile(target, first));
    EXPECT_EQ(ReadBytes(target), "one");
    ASSERT_FALSE(WriteWholeFile(target, second));
    EXPECT_EQ(ReadBytes(target), "two!");

    // A folder is not replaced, a missing folder not made, and no temporary file stays.
    fs::create_directory(dir / "folder.bmp");
    EXPECT_EQ(WriteWholeFile((dir / "folder.bmp").string(), first), std::errc::is_a_directory);
    EXPECT_EQ(CheckWritable((dir / "folder.bmp").string()), std::errc::is_a_directory);
    EXPECT_EQ(WriteWholeFile((dir / "missing" / "run.dat").string(), first),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(CheckWritable((dir / "missing" / "run.dat").string()));
    EXPECT_TRUE(WriteWholeFile((dir / "run.dat\\").string(), first));
    EXPECT_TRUE(WriteWholeFile((dir / "bad?name.dat").string(), first));
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        names.insert(e.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"folder.bmp", "run.dat"}));
    EXPECT_FALSE(CheckWritable(target));

    // A device is written as it is.
    EXPECT_FALSE(WriteWholeFile("NUL", first));
    EXPECT_FALSE(WriteWholeFile((dir / "nul.dat").string(), first));
    EXPECT_FALSE(CheckWritable("NUL"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // Two names of one file, spelt apart; Windows names know no case.
    const std::string here = fs::current_path().string();
    fs::current_path(dir.path());
    EXPECT_TRUE(SameFile("run.dat", target));
    EXPECT_TRUE(SameFile("RUN.DAT", ".\\folder.bmp\\..\\run.dat"));
    EXPECT_TRUE(SameFile("new.bmp", "NEW.BMP"));
    EXPECT_FALSE(SameFile("new.bmp", "new.dat"));
    EXPECT_FALSE(SameFile("run.dat", "new.dat"));
    fs::current_path(here);
}

TEST(WindowsSystem, SoundsAndTheHomePage) {
    // The prefix has no sound device: the cues return at once instead of waiting.
    auto player = MakeNativeSoundPlayer();
    player->Play(SoundCue::Done);
    player->Play(SoundCue::Error);

    char program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string folder = fs::path(std::string(program, length)).parent_path().string();
    EXPECT_EQ(HomePageFile(), folder + "\\doc\\index.html");
}
