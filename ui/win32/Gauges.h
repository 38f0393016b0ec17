// The progress gauge as a window of its own class.
#pragma once

#include "ui/forms/GaugeCore.h"
#include "ui/win32/WindowObject.h"

namespace ui::win32 {

// The core holds the value and paints the picture; the window shows it. A change that alters
// the picture repaints the window at once.
class TGauge final : public WindowObject {
  public:
    TGauge(HWND parent, int left, int top, int width, int height);

    forms::GaugeCore& Core() { return core_; }
    const forms::GaugeCore& Core() const { return core_; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    forms::GaugeCore core_;
};

}  // namespace ui::win32
