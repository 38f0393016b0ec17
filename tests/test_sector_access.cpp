// Reading sectors on both paths, the volume descriptor and the timing of a read.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/SectorAccess.h"
#include "platform/SimSystem.h"

using namespace engine;
using namespace run;
using namespace platform;

namespace {

// A device that records where it was asked to read and answers as told.
class RecordingDevice final : public DeviceFile {
  public:
    struct Log {
        std::vector<std::uint64_t> offsets;
        std::vector<std::size_t> sizes;
        bool succeed = true;
    };
    explicit RecordingDevice(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        log_->offsets.push_back(byteOffset);
        log_->sizes.push_back(dst.size());
        return log_->succeed;
    }

  private:
    std::shared_ptr<Log> log_;
};

std::shared_ptr<SimDrive> MakeDrive(SimDiscParams params = {}) {
    return std::make_shared<SimDrive>(std::move(params));
}

struct RawPath {
    explicit RawPath(SimDiscParams params = {}) : system(MakeDrive(std::move(params))) {
        state.OSPlatformId = kPlatformLinux;
    }
    RunState state;
    SimSystem system;
    SectorAccess access{state, system, [] { return std::string("sim"); }};
};

// The sector library's entry points, with what they were last asked.
struct LibraryCalls {
    static inline std::int32_t letter = 0, first = 0, count = 0, result = 0;
    static std::int32_t DISCOMETER_LIBRARY_CALL Check(std::int32_t d, std::int32_t f,
                                                      std::int32_t c) {
        letter = d;
        first = f;
        count = c;
        return result;
    }
    static std::int32_t DISCOMETER_LIBRARY_CALL Vtoc(std::int32_t d, std::int32_t zero,
                                                     void* buffer) {
        letter = d;
        first = zero;
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        std::memcpy(bytes + 40, "LIBRARY DISC                    ", 32);
        bytes[80] = 0x10;
        bytes[81] = 0x27;  // 10,000 sectors
        bytes[82] = 0;
        bytes[83] = 0;
        return result;
    }
};

}  // namespace

TEST(SectorAccessRawDevice, ReadsAtSixtyFourBitOffsetsAndChecksTheRequest) {
    RunState state;
    state.OSPlatformId = kPlatformWinNT;
    auto log = std::make_shared<RecordingDevice::Log>();
    state.DeviceHandle = std::make_unique<RecordingDevice>(log);
    SimSystem system(MakeDrive());
    SectorAccess access(state, system, [] { return std::string("sr0"); });

    for (const std::int32_t sector : {1000, 1048576, 2097152, 2147483647}) {
        state.StartSector = sector;
        state.SectorCount = 800;
        access.Read_Block();
        EXPECT_EQ(state.ReadStatus, 0) << sector;
        EXPECT_EQ(log->offsets.back(), static_cast<std::uint64_t>(sector) * 2048u);
        EXPECT_EQ(log->sizes.back(), 800u * 2048u);
    }

    const std::size_t readsSoFar = log->offsets.size();
    for (const auto& [start, count] : {std::pair{-1, 10}, {10, 0}, {10, 1001}}) {
        state.StartSector = start;
        state.SectorCount = count;
        state.ReadStatus = 0;
        access.Read_Block();
        EXPECT_EQ(state.ReadStatus, kReadFailed);
    }
    EXPECT_EQ(log->offsets.size(), readsSoFar);  // refused before touching the device

    log->succeed = false;
    state.StartSector = 16;
    state.SectorCount = 1;
    access.Read_Block();
    EXPECT_EQ(state.ReadStatus, kReadFailed);

    state.DeviceHandle.reset();
    access.Read_Block();
    EXPECT_EQ(state.ReadStatus, kReadFailed);
}

TEST(SectorAccessRawDevice, OpensTheListedDriveAndReadsTheVolumeDescriptor) {
    SimDiscParams params;
    params.volumeId = "SHORT";
    params.volumeSectors = 16777216 + 333000;  // needs 25 bits: all 32 count
    params.mediumSectors = 400000;
    RawPath p(params);
    ASSERT_TRUE(p.access.OpenDevice());
    p.access.Read_VTOC();
    ASSERT_EQ(p.state.ReadStatus, 0);
    EXPECT_EQ(p.state.StartSector, 16);
    EXPECT_EQ(p.state.SectorCount, 1);
    TakeVolumeDescriptor(p.state);
    EXPECT_EQ(p.state.VolumeSize, 16777216.0 + 333000.0);
    EXPECT_EQ(p.state.VolumeLabel.str(), "SHORT" + std::string(27, ' '));

    p.access.CloseDevice();
    EXPECT_EQ(p.state.DeviceHandle, nullptr);
    p.system.openFails = true;
    EXPECT_FALSE(p.access.OpenDevice());
}

TEST(SectorAccessRawDevice, LabelKeepsEveryByteOfTheIdentifierButControlBytes) {
    SimDiscParams params;
    params.volumeId = std::string("\0\xFF[x]=/..", 9) + std::string(23, '\0');
    RawPath p(params);
    ASSERT_TRUE(p.access.OpenDevice());
    p.access.Read_VTOC();
    TakeVolumeDescriptor(p.state);
    EXPECT_EQ(p.state.VolumeLabel.str(), "_\xFF[x]=/.." + std::string(23, '_'));
    EXPECT_EQ(p.state.VolumeLabel.size(), 32u);
}

TEST(SectorAccessRawDevice, ShortReadAtTheEndOfTheVolumeFails) {
    SimDiscParams params;
    params.volumeSectors = 1500;
    RawPath p(params);
    ASSERT_TRUE(p.access.OpenDevice());
    p.state.StartSector = 1000;
    p.state.SectorCount = 800;  // 500 sectors arrive, 300 do not
    p.access.Read_Block();
    EXPECT_EQ(p.state.ReadStatus, kReadFailed);
    p.state.SectorCount = 500;
    p.access.Read_Block();
    EXPECT_EQ(p.state.ReadStatus, 0);
}

TEST(TimeBlock, MeasuresOneReadOnTheTickCounter) {
    SimDiscParams params;
    params.innerSpeedX = params.outerSpeedX = 40.0;  // 6000 KB/s
    RawPath p(params);
    ASSERT_TRUE(p.access.OpenDevice());
    p.state.StartSector = 1000;
    p.state.SectorCount = 900;  // 1800 KB: 300 ms
    p.access.Time_Block();
    EXPECT_EQ(p.state.ReadStatus, 0);
    EXPECT_EQ(p.state.BlockTicks, 300);
    EXPECT_DOUBLE_EQ(TransferSpeed(p.state.SectorCount, p.state.BlockTicks), 6000.0);

    // The clock standing still counts as one millisecond.
    p.system.Drive()->ScriptDurations({0.0});
    p.access.Time_Block();
    EXPECT_EQ(p.state.BlockTicks, 1);
    EXPECT_DOUBLE_EQ(TransferSpeed(1000, p.state.BlockTicks), 2000000.0);

    // Failed reads are timed too; the caller decides what they mean.
    p.state.StartSector = 400000;
    p.access.Time_Block();
    EXPECT_EQ(p.state.ReadStatus, kReadFailed);
    EXPECT_EQ(p.state.BlockTicks, 300);
}

TEST(TimeBlock, SurvivesAWrapOfTheCounter) {
    SimDiscParams params;
    params.clockStart = 0xFFFFFF00u;
    RawPath p(params);
    ASSERT_TRUE(p.access.OpenDevice());
    p.system.Drive()->ScriptDurations({0.0, 300.0});
    p.state.StartSector = 1000;
    p.state.SectorCount = 800;
    p.access.Read_Block();  // uses the first scripted duration
    p.access.Time_Block();
    EXPECT_EQ(p.state.BlockTicks, 300);
    EXPECT_LT(p.system.TickCount(), 0xFFFFFF00u);
}

TEST(TransferSpeed, IsTheIntegerProductOverTheTimeInReals) {
    EXPECT_DOUBLE_EQ(TransferSpeed(800, 205), 1600000.0 / 205.0);
    EXPECT_DOUBLE_EQ(TransferSpeed(600, 7), 1200000.0 / 7.0);
    EXPECT_DOUBLE_EQ(TransferSpeed(1000, 0), 2000000.0);  // never a division by zero
}

TEST(SectorAccessLibrary, CallsTheSectorLibraryWithTheDriveLetter) {
    RunState state;
    state.OSPlatformId = kPlatformWin95;
    state.CheckCDSectors32 = &LibraryCalls::Check;
    state.ReadCDvtoc32 = &LibraryCalls::Vtoc;
    SimSystem system(MakeDrive());
    std::string drive = "E:";
    SectorAccess access(state, system, [&] { return drive; });

    std::memset(state.SectorBuffer.data(), 0xAB, 4096);
    state.StartSector = 3000;
    state.SectorCount = 600;
    for (const std::int32_t result : {0, 5, -1, -2147483647 - 1}) {
        LibraryCalls::result = result;
        access.Read_Block();
        EXPECT_EQ(state.ReadStatus, result);
    }
    EXPECT_EQ(LibraryCalls::letter, 'E');
    EXPECT_EQ(state.DriveLetter, 'E');
    EXPECT_EQ(LibraryCalls::first, 3000);
    EXPECT_EQ(LibraryCalls::count, 600);
    EXPECT_EQ(state.SectorBuffer[0], 0xAB);  // the data never reaches the program
    EXPECT_EQ(state.SectorBuffer[4095], 0xAB);

    drive = "\xC4:";  // taken again on every call, as an unsigned byte
    access.Read_Block();
    EXPECT_EQ(LibraryCalls::letter, 0xC4);

    LibraryCalls::result = 0;
    drive = "F:";
    access.Read_VTOC();
    EXPECT_EQ(state.ReadStatus, 0);
    EXPECT_EQ(LibraryCalls::letter, 'F');
    EXPECT_EQ(LibraryCalls::first, 0);
    TakeVolumeDescriptor(state);
    EXPECT_EQ(state.VolumeSize, 10000.0);
    EXPECT_EQ(state.VolumeLabel.str(), "LIBRARY DISC                    ");
    EXPECT_EQ(system.openCount, 0);  // never the raw device on this path
}

TEST(SectorAccessLibrary, MissingEntryPointsFailTheRead) {
    RunState state;
    state.OSPlatformId = 0;
    SimSystem system(MakeDrive());
    SectorAccess access(state, system, [] { return std::string(); });
    access.Read_Block();
    EXPECT_EQ(state.ReadStatus, kReadFailed);
    access.Read_VTOC();
    EXPECT_EQ(state.ReadStatus, kReadFailed);
}

TEST(SectorAccessRawDevice, AnyDescriptorBytesGiveASizeAndALabel) {
    SimDiscParams params;
    std::vector<std::uint8_t> junk(2048, 0xFF);
    junk[80] = 0x01;
    junk[83] = 0x7F;  // the top byte counts too
    params.descriptorSector = junk;
    RawPath p(params);
    ASSERT_TRUE(p.access.OpenDevice());
    p.access.Read_VTOC();
    ASSERT_EQ(p.state.ReadStatus, 0);
    TakeVolumeDescriptor(p.state);
    EXPECT_EQ(p.state.VolumeSize, 0x7FFFFF01);
    EXPECT_EQ(p.state.VolumeLabel.str(), std::string(32, '\xFF'));
}
