// A tooltip (tooltips_class32) that a control shows while the mouse rests on it.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

// The tip of one control, with a text that may change; an empty text shows nothing. The tip
// belongs to the control's top-level window and goes with it.
class ToolTip {
  public:
    explicit ToolTip(HWND control);
    ~ToolTip();
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // Text in the ANSI code page.
    void SetText(const std::string& text);
    // The text the tip holds, as the system gives it back.
    std::string Text() const;

  private:
    HWND tip_ = nullptr;
    HWND control_ = nullptr;
};

}  // namespace ui::win32
