#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "platform/SingleSpeeds.h"

namespace platform {

// What a drive says of its disc after a read failed.
enum class DiscState {
    Present,  // the disc read so far is still in the drive, or the drive cannot say
    Removed,  // no disc, or the tray is open
    Changed,  // another disc, or the same one taken out and put back
};

// An open raw volume device, read-only and unbuffered.
class DeviceFile {
  public:
    virtual ~DeviceFile() = default;
    // Reads dst.size() bytes from the byte offset. True only when every byte asked for
    // arrived; a short read or any error is a failure.
    virtual bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) = 0;
    // Asks the drive to read no faster than the request's multiple of its medium's single
    // speed, or as fast as it can for 0; false when the drive (or a disc image) refuses. A
    // device told to read slower is set back to its maximum before it is closed, so no drive
    // is left slowed down.
    virtual bool SelectReadSpeed(const ReadSpeedRequest& request) {
        (void)request;
        return false;
    }
    // The whole sectors the medium holds, as the system reports its capacity (a device's size,
    // an image file's length); nothing when the system cannot say.
    virtual std::optional<std::int64_t> MediumSectors() { return std::nullopt; }
    // Whether the disc that was in the drive when it was opened is there still. A disc image
    // is always there.
    virtual DiscState CheckDisc() { return DiscState::Present; }
};

// Why a drive could not be opened, where the system has no words for the reason.
enum class DriveProblem {
    // Another run of this program holds the drive: two measurements at once would each
    // time the other's reads.
    Busy = 1,
};
std::error_code MakeError(DriveProblem problem);

// What the system knows of a drive; any part may be empty.
struct DriveIdentity {
    std::string vendor;
    std::string model;
    std::string revision;  // of the drive's firmware
    // The loaded medium as users know it ("CD-R", "DVD+R DL", "BD-RE"), kNoDisc when the
    // drive holds none.
    std::string medium = {};
    // The fastest the drive says it reads its medium, in its own kB/s of 1,000 bytes; 0 when
    // it does not say.
    std::uint32_t fastestKBs = 0;
    friend bool operator==(const DriveIdentity&, const DriveIdentity&) = default;
};

inline constexpr const char* kNoDisc = "no disc";

// The version record of the running system.
struct VersionRecord {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::string csdVersion;  // at most kCsdVersionChars characters
};
constexpr std::size_t kCsdVersionChars = 128;

// Platform ids as the version query reports them.
constexpr std::uint32_t kPlatformWin95 = 1;
constexpr std::uint32_t kPlatformWinNT = 2;
constexpr std::uint32_t kPlatformLinux = 4;

// Drive types of the drive-type query; only CdRom matters to the program.
enum class DriveType : std::uint32_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// The calling convention of the sector library's entry points: that of exported Windows
// functions (the callee removes the arguments) on 32-bit Windows; elsewhere the system has
// only one. A calling convention is part of a function's type, so it cannot be a constant.
#if defined(_WIN32)
#define DISCOMETER_LIBRARY_CALL __stdcall
#else
#define DISCOMETER_LIBRARY_CALL
#endif

// Entry points of the sector library. The drive letter sits in the low byte.
using ReadCDvtoc32Fn = std::int32_t(DISCOMETER_LIBRARY_CALL*)(std::int32_t driveLetter,
                                                              std::int32_t zero, void* buffer);
using CheckCDSectors32Fn = std::int32_t(DISCOMETER_LIBRARY_CALL*)(std::int32_t driveLetter,
                                                                  std::int32_t firstSector,
                                                                  std::int32_t sectorCount);

// A loaded module; unloaded when the last owner lets go of it.
class LoadedModule {
  public:
    virtual ~LoadedModule() = default;
    // The address of an exported symbol, or null when the module has no such export.
    virtual void* Resolve(const std::string& exportName) = 0;
};

// Everything the program asks of the operating system. Each build has its own native
// implementation (MakeNativeSystem); tests and the simulated drives put their own in its place.
class System {
  public:
    virtual ~System() = default;

    // Null when the device cannot be opened.
    virtual std::unique_ptr<DeviceFile> OpenDevice(const std::string& driveEntry) = 0;
    // Milliseconds, wrapping at 32 bits like the system's tick counter.
    virtual std::uint32_t TickCount() = 0;
    // Microseconds of a fine monotonic clock, for reads too short for the millisecond tick to
    // time well. A system without one counts in whole ticks.
    virtual std::uint64_t MicroTicks() { return std::uint64_t{TickCount()} * 1000u; }
    virtual VersionRecord QueryVersion() = 0;
    // Candidate drive names in the order the list shows them.
    virtual std::vector<std::string> CandidateDrives() = 0;
    // The entries the user named in place of the search for drives, when they did.
    virtual std::optional<std::vector<std::string>> NamedDrives() const { return std::nullopt; }
    virtual DriveType DriveTypeOf(const std::string& driveEntry) = 0;
    // Null when the module cannot be loaded.
    virtual std::shared_ptr<LoadedModule> LoadModule(const std::string& fileName) = 0;

    // The device or file that an entry of the drive list stands for, as messages name it.
    virtual std::string DevicePath(const std::string& driveEntry) const { return driveEntry; }
    // Why the last OpenDevice failed; empty after one that succeeded.
    virtual std::error_code LastOpenError() const { return {}; }
    // The drive's vendor, model and firmware revision, where the system knows them.
    virtual DriveIdentity IdentityOf(const std::string& driveEntry) {
        (void)driveEntry;
        return {};
    }
};

// The system this build runs on, with the simulated drives beside its own. The entries of
// the drive list replace the search for optical drives: given one by one (an entry may then
// hold a comma, as a file name may), or as a comma-separated list; without them the list
// comes from the environment (DISCOMETER_DRIVES) or the search.
std::unique_ptr<System> MakeNativeSystem();
std::unique_ptr<System> MakeNativeSystem(std::optional<std::string> driveList);
std::unique_ptr<System> MakeNativeSystem(std::vector<std::string> driveEntries);

}  // namespace platform
