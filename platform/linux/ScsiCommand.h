#pragma once

#include "platform/MmcCommands.h"

namespace platform {

// How a command went: done, or refused with the drive's sense (all zero when the system
// would not send it, as for a command that needs a handle open for writing).
struct CommandOutcome {
    bool done = false;
    mmc::Sense sense;
};

// The kernel's SCSI pass-through (SG_IO) on a drive's descriptor; the call is the ioctl, so
// that tests can answer in the drive's place.
using ScsiIoctl = int (*)(int fd, void* sgIoHeader);
CommandOutcome SendCommand(int fd, mmc::Command& command, ScsiIoctl ioctl);

// The kernel's SG_IO.
int SystemScsiIoctl(int fd, void* sgIoHeader);

}  // namespace platform
