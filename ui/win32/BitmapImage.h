// Our pictures on the screen, pixel for pixel.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/Bitmap.h"
#include "ui/forms/Pictures.h"
#include "ui/forms/RepaintThrottle.h"
#include "ui/win32/WindowObject.h"

namespace ui::win32 {

// The system's colour value of one of ours; both are 0x00BBGGRR.
constexpr COLORREF ToColorRef(platform::Color color) {
    return static_cast<COLORREF>(color & 0xFFFFFF);
}
platform::Color FromColorRef(COLORREF color);

// Draws the bitmap with its top left corner at (x, y), one screen pixel a pixel.
void DrawBitmap(HDC dc, int x, int y, const platform::Bitmap& bitmap);
// Draws the picture so that its see-through pixels show `behind`.
void DrawPicture(HDC dc, int x, int y, const forms::Picture& picture, COLORREF behind);

// A picture control: shows a bitmap that lives elsewhere (the chart), or a picture of its own,
// at its top left corner; the rest of it shows the button face. The owner of a bitmap that
// changes calls PictureChanged().
class BitmapView final : public WindowObject {
  public:
    BitmapView(HWND parent, int left, int top, int width, int height,
               const platform::Bitmap& bitmap);
    BitmapView(HWND parent, int left, int top, int width, int height, forms::Picture picture);

    // Asks for a repaint, at most one a frame; the last change is always shown.
    void PictureChanged();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Make(HWND parent, int left, int top, int width, int height);
    void Paint(HDC dc) const;

    const platform::Bitmap* bitmap_ = nullptr;
    std::optional<forms::Picture> picture_;
    forms::RepaintThrottle throttle_;
};

}  // namespace ui::win32
