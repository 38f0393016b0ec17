#pragma once

#include <utility>

#include "cli/TerminalPrompts.h"
#include "cli/TerminalWindow.h"
#include "engine/RunContext.h"
#include "platform/LinuxSystem.h"

namespace cli {

// Everything a run or a replay works on, owned together for one command.
struct Session {
    explicit Session(platform::LinuxSystemOptions options) : system(std::move(options)) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    platform::LinuxSystem system;
    engine::RunState state;
    results::DataList dataList;
    engine::Chart chart;
    TerminalWindow window;
    TerminalPrompts prompts;
    engine::RunContext ctx{state, dataList, chart, system, window, prompts};
};

}  // namespace cli
