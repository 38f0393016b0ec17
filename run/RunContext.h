#pragma once

#include "platform/Canvas.h"
#include "platform/System.h"
#include "run/DataList.h"
#include "run/RunState.h"
#include "run/RunWindow.h"

namespace run {

// The chart picture and the canvas that draws on it; the canvas keeps its pen, brush and
// pen position from one drawing step to the next, as the curve needs.
struct Chart {
    static constexpr std::int32_t kWidth = 591;
    static constexpr std::int32_t kHeight = 352;

    Chart() : bitmap(kWidth, kHeight), canvas(bitmap) {}
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    platform::Bitmap bitmap;
    platform::Canvas canvas;
};

// What the handlers of a run work on, all owned by the front end that shows the run.
struct RunContext {
    RunState& state;
    DataList& dataList;
    Chart& chart;
    platform::System& system;
    RunWindow& window;
    UserPrompts& prompts;
};

}  // namespace run
