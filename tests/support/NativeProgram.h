// A whole program on this build's own system, for runs through the real read path.
#pragma once

#include <memory>
#include <string>

#include "platform/System.h"
#include "support/RunFakes.h"

namespace fakes {

// A whole program started up on this build's own system, its drive list the given entries.
struct NativeProgram {
    explicit NativeProgram(const std::string& entries)
        : system(platform::MakeNativeSystem(entries)) {
        startup::StartUp(ctx);
    }
    bool Start() { return engine::StartRun(ctx); }
    void RunToEnd() {
        for (int ticks = 0; window.timer && ticks < 100000; ++ticks) {
            engine::MeasureTick(ctx);
        }
    }

    std::unique_ptr<platform::System> system;
    run::RunState state;
    results::DataList dataList;
    run::Chart chart;
    fakes::FakeWindow window;
    fakes::FakePrompts prompts;
    run::RunContext ctx{state, dataList, chart, *system, window, prompts};
};

}  // namespace fakes
