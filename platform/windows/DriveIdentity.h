#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/System.h"
#include "platform/windows/RawDevice.h"

namespace platform {

// The vendor, product and firmware revision of a storage device descriptor, as the storage
// property query returns it: each a string at an offset from the descriptor's start, 0 for
// one the device does not give. What lies outside the bytes that came back is not there.
DriveIdentity IdentityFromDescriptor(std::span<const std::uint8_t> answer);

// Asks the raw volume device (\\.\D:) for its storage device descriptor, and the loaded medium;
// an empty identity when the device cannot be opened or does not answer.
DriveIdentity QueryDriveIdentity(const std::string& devicePath,
                                 const RawDeviceCalls& calls = SystemRawDeviceCalls());

// The loaded medium's profile name, kNoDisc for none; empty when the drive does not say.
std::string QueryMedium(const std::string& devicePath,
                        const RawDeviceCalls& calls = SystemRawDeviceCalls());

}  // namespace platform
