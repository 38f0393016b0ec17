#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "cli/Console.h"
#include "cli/TerminalPrompts.h"
#include "cli/TerminalWindow.h"
#include "engine/RunContext.h"
#include "platform/System.h"

namespace cli {

// Everything a run or a replay works on, owned together for one command.
struct Session {
    // `driveEntries`: the drive list's entries, or nothing for the search's.
    Session(std::optional<std::vector<std::string>> driveEntries, Console& console)
        : systemOwner(driveEntries ? platform::MakeNativeSystem(std::move(*driveEntries))
                                   : platform::MakeNativeSystem(std::nullopt)),
          prompts(console) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::unique_ptr<platform::System> systemOwner;
    platform::System& system = *systemOwner;
    engine::RunState state;
    results::DataList dataList;
    engine::Chart chart;
    TerminalWindow window;
    TerminalPrompts prompts;
    engine::RunContext ctx{state, dataList, chart, system, window, prompts};
};

}  // namespace cli
