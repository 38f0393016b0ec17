#pragma once

#include <memory>

#include "platform/System.h"

namespace platform {

// The services of the system this build runs on, without the simulated drives or the user's
// drive list around them; each system's folder has its own.
std::unique_ptr<System> MakeOperatingSystem();

}  // namespace platform
