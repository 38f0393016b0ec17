// The program that all inputs of a fuzzing process run in: made and started once, as the
// window is, then handed one input after another, as the window is handed file after file
// and disc after disc. What does not depend on the input (the run state with its read
// buffer, the chart picture, the window and user stand-ins) lives as long as the process.
#pragma once

#include "support/RunFakes.h"

namespace fuzz {

inline fakes::Program& SharedProgram() {
    static fakes::Program program;
    return program;
}

// Frees what an input left in the program (its document, what the user was told), so that
// each input frees about what it allocates: libFuzzer re-runs an input that allocates more
// than it frees and looks for a leak, which costs more than the input itself. The window's
// count of chart changes starts again too, so that no count grows for the whole process.
inline void ForgetInput(fakes::Program& p) {
    p.dataList = results::DataList();
    p.prompts = fakes::FakePrompts();
    p.window.chartChanges = 0;
}

}  // namespace fuzz
