// At most one repaint a frame of a picture that keeps changing, for both windows.
#pragma once

#include <cstdint>
#include <optional>

namespace ui::forms {

// A replay changes the chart after every line, thousands of times a second, and a repaint
// each time would take most of its time. The throttle lets one repaint through a frame and
// puts the next off to the frame's end, so that the last change is always shown. Times are
// milliseconds of the window's own clock; it may wrap around.
class RepaintThrottle {
  public:
    // The shortest time between two repaints: about a screen frame.
    static constexpr std::uint32_t kFrameMs = 16;

    // The picture changed at `nowMs`. Returns 0 to repaint at once, the milliseconds after
    // which to repaint when the last repaint is too recent, or nothing when a repaint is
    // already put off.
    std::optional<std::uint32_t> Changed(std::uint32_t nowMs);
    // The put-off repaint is made at `nowMs`.
    void PutOffRepaintMade(std::uint32_t nowMs);

  private:
    std::optional<std::uint32_t> lastRepaint_;
    bool repaintPutOff_ = false;
};

}  // namespace ui::forms
