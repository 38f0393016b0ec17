#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "cli/Streams.h"
#include "cli/TerminalPrompts.h"
#include "cli/TerminalWindow.h"
#include "platform/System.h"
#include "run/RunContext.h"

namespace cli {

// Everything a run or a replay works on, owned together for one command.
struct Session {
    // `driveEntries`: the drive list's entries, or nothing for the search's.
    Session(std::optional<std::vector<std::string>> driveEntries, Streams& streams)
        : systemOwner(driveEntries ? platform::MakeNativeSystem(std::move(*driveEntries))
                                   : platform::MakeNativeSystem(std::nullopt)),
          prompts(streams) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::unique_ptr<platform::System> systemOwner;
    platform::System& system = *systemOwner;
    run::RunState state;
    results::DataList dataList;
    run::Chart chart;
    TerminalWindow window;
    TerminalPrompts prompts;
    run::RunContext ctx{state, dataList, chart, system, window, prompts};
};

}  // namespace cli
