// The repaint throttle both windows share: one repaint a frame, the last change always shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "ui/forms/RepaintThrottle.h"

namespace {

using ui::forms::RepaintThrottle;

TEST(RepaintThrottle, OneRepaintAFrameAndTheLastChangeAlwaysShown) {
    // Either a change at `now` and the throttle's answer, or the put-off repaint made then.
    struct Step {
        const char* what;
        bool putOffRepaintMade;
        std::uint32_t now;
        std::optional<std::uint32_t> answer;
    };
    const Step steps[] = {
        {"the first change repaints at once", false, 1000, 0},
        {"a change within the frame waits for its end", false, 1005, 11},
        {"while a repaint is put off, a change asks for nothing", false, 1010, std::nullopt},
        {"the put-off repaint", true, 1016, std::nullopt},
        {"a change right after it waits a whole frame", false, 1016, 16},
        {"the next put-off repaint", true, 1032, std::nullopt},
        {"a change a frame later repaints at once", false, 1048, 0},
        {"a change just before the clock wraps", false, 0xFFFFFFF8u, 0},
        {"a change just after it still counts the time between", false, 4, 4},
    };
    RepaintThrottle throttle;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.putOffRepaintMade) {
            throttle.PutOffRepaintMade(step.now);
        } else {
            EXPECT_EQ(throttle.Changed(step.now), step.answer);
        }
    }
}

}  // namespace
