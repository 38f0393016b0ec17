#include "ui/win32/ButtonPictures.h"

#include <string>

#include "ui/win32/BitmapImage.h"

namespace ui::win32 {

namespace {

// The caption's size on the screen, its accelerator's "&" left out.
SIZE CaptionSize(HDC dc, const std::string& caption) {
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CALCRECT | DT_SINGLELINE);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

forms::Picture DisabledPicture(const forms::Picture& picture) {
    const platform::Color shadow = FromColorRef(::GetSysColor(COLOR_BTNSHADOW));
    const platform::Color highlight = FromColorRef(::GetSysColor(COLOR_BTNHIGHLIGHT));
    // A see-through colour that neither of the two is.
    platform::Color clear = picture.transparent;
    while (clear == shadow || clear == highlight) {
        ++clear;
    }
    const platform::Bitmap& from = picture.pixels;
    forms::Picture disabled{platform::Bitmap(from.Width(), from.Height(), clear), clear};
    for (std::int32_t y = 0; y < from.Height(); ++y) {
        for (std::int32_t x = 0; x < from.Width(); ++x) {
            if (!picture.IsTransparent(x, y)) {
                disabled.pixels.SetPixel(x, y, shadow);
            } else if (x > 0 && y > 0 && !picture.IsTransparent(x - 1, y - 1)) {
                disabled.pixels.SetPixel(x, y, highlight);
            }
        }
    }
    return disabled;
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, const ButtonLook& look) {
    const HDC dc = item.hDC;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const RECT whole = item.rcItem;
    const int width = whole.right - whole.left;
    const int height = whole.bottom - whole.top;

    RECT frame = whole;
    ::FillRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNFACE));
    if (focused) {
        // The focused button is the one Enter presses: the default button's black frame.
        ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&frame, -1, -1);
    }
    if (pressed) {
        ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        ::DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH);
    }

    const HGDIOBJ oldFont = ::SelectObject(
        dc, reinterpret_cast<HFONT>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
    const std::string caption = WindowText(item.hwndItem);
    const SIZE text = caption.empty() ? SIZE{0, 0} : CaptionSize(dc, caption);
    const int gap = caption.empty() ? 0 : look.spacing;
    const platform::Bitmap& pixels = look.picture.pixels;
    int left = look.margin;
    if (look.margin == forms::kCentredPicture) {
        left = (width - pixels.Width() - gap - text.cx) / 2;
    }
    const int shift = pressed ? 1 : 0;
    const forms::Picture& shown = disabled ? DisabledPicture(look.picture) : look.picture;
    DrawPicture(dc, whole.left + left + shift, whole.top + (height - pixels.Height()) / 2 + shift,
                shown, ::GetSysColor(COLOR_BTNFACE));
    if (!caption.empty()) {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()),
                     static_cast<WPARAM>(caption.size()),
                     whole.left + left + pixels.Width() + gap + shift,
                     whole.top + (height - text.cy) / 2 + shift, 0, 0,
                     DST_PREFIXTEXT | (disabled ? DSS_DISABLED : DSS_NORMAL));
    }
    ::SelectObject(dc, oldFont);

    if (focused) {
        RECT focus = whole;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
}

}  // namespace ui::win32
