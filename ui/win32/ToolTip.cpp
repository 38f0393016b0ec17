#include "ui/win32/ToolTip.h"

#include <commctrl.h>

#include <array>
#include <stdexcept>

#include "ui/win32/WindowObject.h"

namespace ui::win32 {

namespace {

// The tool of the tip: the whole control, whose mouse messages the tip watches itself. The
// record's first version, which every version of the common controls takes.
TOOLINFOA ToolOf(HWND control, char* text) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    return tool;
}

}  // namespace

ToolTip::ToolTip(HWND control) : control_(control) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    tip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             ::GetAncestor(control, GA_ROOT), nullptr, ProgramInstance(), nullptr);
    if (tip_ == nullptr) {
        throw std::runtime_error("cannot create the tooltip");
    }
    char empty[] = "";
    TOOLINFOA tool = ToolOf(control_, empty);
    ::SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

ToolTip::~ToolTip() {
    if (::IsWindow(tip_)) {
        ::DestroyWindow(tip_);
    }
}

void ToolTip::SetText(const std::string& text) {
    std::string copy = text;  // the tip keeps a copy of its own
    TOOLINFOA tool = ToolOf(control_, copy.data());
    ::SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string ToolTip::Text() const {
    // Some versions write up to this many bytes, whatever size they are told.
    std::array<char, INFOTIPSIZE> text{};
    TOOLINFOA tool = ToolOf(control_, text.data());
    ::SendMessageA(tip_, TTM_GETTEXTA, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.data();
}

}  // namespace ui::win32
