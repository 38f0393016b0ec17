#include "ui/win32/BitmapImage.h"

#include <cstdint>
#include <vector>

namespace ui::win32 {

namespace {

// A 32-bit DIB pixel, blue in the low byte: the other way round from ours.
constexpr std::uint32_t ToDibPixel(platform::Color c) {
    return (static_cast<std::uint32_t>(platform::RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(platform::GreenOf(c)) << 8) | platform::BlueOf(c);
}

// Shows the pixels, converted by `pixelOf`, as a top-down DIB: the first row is the top one.
template <typename PixelOf>
void ShowDib(HDC dc, int x, int y, const platform::Bitmap& bitmap, PixelOf pixelOf) {
    const std::int32_t width = bitmap.Width();
    const std::int32_t height = bitmap.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    std::vector<std::uint32_t> dib;
    dib.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (const platform::Color c : bitmap.Pixels()) {
        dib.push_back(pixelOf(c));
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                        static_cast<UINT>(height), dib.data(), &info, DIB_RGB_COLORS);
}

// The timer of a repaint put off to the next frame.
constexpr UINT_PTR kRepaintTimer = 1;

}  // namespace

platform::Color FromColorRef(COLORREF color) {
    return platform::MakeColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

void DrawBitmap(HDC dc, int x, int y, const platform::Bitmap& bitmap) {
    ShowDib(dc, x, y, bitmap, ToDibPixel);
}

void DrawPicture(HDC dc, int x, int y, const forms::Picture& picture, COLORREF behind) {
    const std::uint32_t behindPixel = ToDibPixel(FromColorRef(behind));
    ShowDib(dc, x, y, picture.pixels, [&](platform::Color c) {
        return c == picture.transparent ? behindPixel : ToDibPixel(c);
    });
}

BitmapView::BitmapView(HWND parent, int left, int top, int width, int height,
                       const platform::Bitmap& bitmap)
    : bitmap_(&bitmap) {
    Make(parent, left, top, width, height);
}

BitmapView::BitmapView(HWND parent, int left, int top, int width, int height,
                       forms::Picture picture)
    : picture_(std::move(picture)) {
    Make(parent, left, top, width, height);
}

void BitmapView::Make(HWND parent, int left, int top, int width, int height) {
    Create({.name = "TImage"}, 0, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top, width,
           height, parent, nullptr);
}

void BitmapView::PictureChanged() {
    if (Handle() == nullptr) {
        return;
    }
    const auto delay = throttle_.Changed(::GetTickCount());
    if (!delay) {
        return;
    }
    if (*delay == 0) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    ::SetTimer(Handle(), kRepaintTimer, *delay, nullptr);
}

void BitmapView::Paint(HDC dc) const {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const platform::Bitmap& shown = bitmap_ != nullptr ? *bitmap_ : picture_->pixels;
    // Whatever the picture leaves uncovered.
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const HRGN uncovered = ::CreateRectRgnIndirect(&client);
    const HRGN picture = ::CreateRectRgn(0, 0, shown.Width(), shown.Height());
    ::CombineRgn(uncovered, uncovered, picture, RGN_DIFF);
    ::FillRgn(dc, uncovered, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DeleteObject(picture);
    ::DeleteObject(uncovered);
    if (bitmap_ != nullptr) {
        DrawBitmap(dc, 0, 0, *bitmap_);
    } else {
        DrawPicture(dc, 0, 0, *picture_, face);
    }
}

LRESULT BitmapView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // Paint covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(Handle(), &paint);
            Paint(dc);
            ::EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRepaintTimer) {
                ::KillTimer(Handle(), kRepaintTimer);
                throttle_.PutOffRepaintMade(::GetTickCount());
                ::InvalidateRect(Handle(), nullptr, FALSE);
            }
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // clicks go to what lies below, as on a label
        default:
            return WindowObject::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace ui::win32
