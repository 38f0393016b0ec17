#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/System.h"
#include "run/RunState.h"

namespace engine {

inline constexpr std::int32_t kReadFailed = -1;

// The file name of the sector library that platforms without a raw device read through.
inline constexpr const char* kSectorLibraryFile = "sectrd32.dll";

// Reads the chosen drive. The caller sets the request fields of the run state, calls an
// operation and then tests the sign of ReadStatus; nothing here reports to the user.
class SectorAccess {
  public:
    // driveListText gives the drive list's current text; it is asked again on every call.
    SectorAccess(run::RunState& state, platform::System& system,
                 std::function<std::string()> driveListText);

    // Opens the raw device of the drive the list shows into DeviceHandle; false on failure.
    bool OpenDevice();
    void CloseDevice();
    // Asks the open raw device to read no faster than the request (times 0: its maximum);
    // false without a device or when the drive refuses. Closing the device sets a slowed
    // drive back to its maximum.
    bool SelectReadSpeed(const platform::ReadSpeedRequest& request);

    // Reads SectorCount sectors from StartSector and sets ReadStatus.
    void Read_Block();
    // Puts the volume descriptor into the first 2048 bytes of SectorBuffer; sets ReadStatus.
    void Read_VTOC();
    // Read_Block between two readings of the tick count; sets BlockTicks, at least 1. With
    // FineTiming also between two readings of the fine clock; sets BlockMicros, at least 1.
    void Time_Block();
    // Whether the disc is still in the drive, asked after a failed read: the raw device's
    // answer, and Present where the sector library reads (it has no such question).
    platform::DiscState CheckDisc();

    run::RunState& State() { return state_; }
    platform::System& System() { return system_; }

  private:
    char CurrentDriveLetter() const;

    run::RunState& state_;
    platform::System& system_;
    std::function<std::string()> driveListText_;
};

// Speed in KB/s of sectorCount sectors read in blockTicks milliseconds: each sector is
// 2 KB, so the integer product sectors x 2000 over the time.
double TransferSpeed(std::int32_t sectorCount, std::int32_t blockTicks);
// The same from a time in microseconds.
double FineTransferSpeed(std::int32_t sectorCount, std::int64_t blockMicros);
// The speed of the last timed read: from the fine clock with FineTiming, else from the tick.
double MeasuredSpeed(const run::RunState& state);

// Takes VolumeSize (the 32-bit volume space size) and the 32-byte VolumeLabel, its control
// bytes as "_", from the volume descriptor at the start of SectorBuffer.
void TakeVolumeDescriptor(run::RunState& state);

}  // namespace engine
