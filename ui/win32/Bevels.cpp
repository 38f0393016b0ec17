#include "ui/win32/Bevels.h"

namespace ui::win32 {

TPanel::TPanel(HWND parent, int left, int top, int width, int height) {
    Create({.name = "TPanel", .background = ::GetSysColorBrush(COLOR_BTNFACE)}, 0, "",
           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, left, top, width, height,
           parent, nullptr);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(Handle(), &paint);
            RECT r{};
            ::GetClientRect(Handle(), &r);
            // EDGE_ETCHED: a sunken outer and a raised inner edge.
            ::DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            ::EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return ::SendMessageA(::GetParent(Handle()), message, wParam, lParam);
        default:
            return WindowObject::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace ui::win32
