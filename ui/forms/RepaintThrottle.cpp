#include "ui/forms/RepaintThrottle.h"

namespace ui::forms {

std::optional<std::uint32_t> RepaintThrottle::Changed(std::uint32_t nowMs) {
    if (repaintPutOff_) {
        return std::nullopt;
    }
    // Unsigned, so that a clock that wrapped around still gives the time between.
    const std::uint32_t since = lastRepaint_ ? nowMs - *lastRepaint_ : kFrameMs;
    if (since >= kFrameMs) {
        lastRepaint_ = nowMs;
        return 0;
    }
    repaintPutOff_ = true;
    return kFrameMs - since;
}

void RepaintThrottle::PutOffRepaintMade(std::uint32_t nowMs) {
    repaintPutOff_ = false;
    lastRepaint_ = nowMs;
}

}  // namespace ui::forms
