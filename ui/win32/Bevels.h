// Frames: the sunken bevel is the system's etched static frame; the panel is a window of its
// own that holds other controls.
#pragma once

#include "ui/win32/WindowObject.h"

namespace ui::win32 {

// The static control's style of a lowered bevel: dark above and left of a light line.
inline constexpr DWORD kBevelStyle = SS_ETCHEDFRAME;

// A panel of the face colour with a lowered outer and a raised inner bevel, one pixel each.
// What its controls tell their parent (clicks, owner drawing, colours) goes on to its own
// parent, the form, which knows them.
class TPanel final : public WindowObject {
  public:
    TPanel(HWND parent, int left, int top, int width, int height);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace ui::win32
