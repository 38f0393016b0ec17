#pragma once

#include <memory>
#include <string>

#include "platform/System.h"

namespace platform {

// Opens a device or a disc image read-only for unbuffered reading, shared with other
// readers. Where unbuffered access is refused (an image on tmpfs), reads go through the
// page cache but drop the pages first, so the figures are never cache speed.
// Null on failure, with errno set.
std::unique_ptr<DeviceFile> OpenRawDevice(const std::string& path);

}  // namespace platform
