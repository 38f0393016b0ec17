#pragma once

#include <cstdint>
#include <string_view>

#include "platform/System.h"
#include "run/RunState.h"
#include "run/ShortText.h"

namespace os {

// Asks the system for its version record and keeps its five identification values in the
// run state. The values are cleared first, so a query that delivers nothing leaves 0 and an
// empty service-pack text, which names the system "Unknown".
void TestOS(run::RunState& state, platform::System& system);

// What the live name rule reads: the running system's identification.
struct LiveOSInputs {
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::string_view csdVersion;
};

// The identification values of the run state, for the live rule.
LiveOSInputs LiveInputsOf(const run::RunState& state);

// The display name of the running system, shown in the title of a new run. Only the
// service-pack text of the NT family and Linux's kernel release are part of it.
run::ShortText LiveOSName(const LiveOSInputs& in);

// What the replay name rule reads: the [SysInfo] values of a loaded file, 0 when missing.
struct ReplayOSInputs {
    std::int32_t platform = 0;
    std::int32_t majorVersion = 0;
    std::int32_t minorVersion = 0;
    std::int32_t buildNumber3 = 0;
    std::int32_t buildNumber2 = 0;
};

// The display name of the system a loaded run was measured on. It differs from the live
// name: a file keeps only two of the four build-number bytes for naming, and no service-pack
// text. Numbers in the name are written unsigned, as the run state holds them.
run::ShortText ReplayOSName(const ReplayOSInputs& in);

}  // namespace os
