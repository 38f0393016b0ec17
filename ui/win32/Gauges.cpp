#include "ui/win32/Gauges.h"

#include "ui/win32/BitmapImage.h"

namespace ui::win32 {

TGauge::TGauge(HWND parent, int left, int top, int width, int height) {
    core_.SetSize(width, height);
    Create({.name = "TGauge"}, 0, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top, width,
           height, parent, nullptr);
    core_.SetRepaintHandler([this] {
        if (Handle() != nullptr) {  // a null window would be the whole screen
            ::InvalidateRect(Handle(), nullptr, FALSE);
            ::UpdateWindow(Handle());
        }
    });
}

LRESULT TGauge::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the core paints its whole rectangle
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(Handle(), &paint);
            DrawBitmap(dc, 0, 0, core_.Paint());
            ::EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_SIZE:
            core_.SetSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        default:
            return WindowObject::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace ui::win32
