#pragma once

#include <cstdint>

#include "platform/SingleSpeeds.h"

namespace platform {

// The two commands a drive is asked for a read speed with, as each system sends them.
class SpeedCommands {
  public:
    virtual ~SpeedCommands() = default;
    // SET STREAMING over the volume's sectors (with restoreDefaults: back to the drive's own
    // speeds); false when the drive or the system refused it.
    virtual bool SetStreaming(std::uint32_t readKBs, std::uint32_t lastSector,
                              bool restoreDefaults) = 0;
    // SET CD SPEED (0xFFFF: as fast as the drive goes).
    virtual bool SetCdSpeed(std::uint16_t readKBs) = 0;
};

// The command a drive took a read speed by.
enum class SpeedCommand : std::uint8_t { None, SetStreaming, SetCdSpeed };

// Asks for the read speed in the drive's units: SET STREAMING first for a DVD or a Blu-ray
// disc, since many drives take SET CD SPEED for a CD alone, and for a CD where the drive says
// it streams; SET CD SPEED then, and first for any other CD. The command the drive took; None when
// it took neither.
SpeedCommand AskReadSpeed(SpeedCommands& commands, const ReadSpeedRequest& request);

// Sets the drive back to its own maximum by the command it took the speed by.
void RestoreReadSpeed(SpeedCommands& commands, SpeedCommand taken, const ReadSpeedRequest& request);

}  // namespace platform
