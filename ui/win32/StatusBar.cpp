#include "ui/win32/StatusBar.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "ui/win32/WindowObject.h"

namespace ui::win32 {

namespace {

// Tabs before a status bar's text centre it (one) or align it to the right (two).
std::string_view AlignmentPrefix(forms::Alignment alignment) {
    switch (alignment) {
        case forms::Alignment::Centre:
            return "\t";
        case forms::Alignment::Right:
            return "\t\t";
        case forms::Alignment::Left:
            break;
    }
    return {};
}

}  // namespace

HWND CreateStatusBar(HWND parent, int left, int top, int width, int height,
                     std::span<const forms::StatusPanelSpec> panels) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    // Placed and sized as asked, not along the parent's bottom edge.
    const HWND bar = ::CreateWindowExA(
        0, STATUSCLASSNAMEA, "",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NOPARENTALIGN | CCS_NORESIZE, left, top,
        width, height, parent, nullptr, ProgramInstance(), nullptr);
    if (bar == nullptr) {
        throw std::runtime_error("cannot create the status bar");
    }
    SetStatusPanels(bar, panels);
    return bar;
}

void SetStatusPanels(HWND bar, std::span<const forms::StatusPanelSpec> panels) {
    std::vector<int> rightEdges;
    int right = 0;
    for (const forms::StatusPanelSpec& panel : panels) {
        right += panel.width;
        rightEdges.push_back(right);
    }
    if (!rightEdges.empty()) {
        rightEdges.back() = -1;  // to the end of the bar
    }
    ::SendMessageA(bar, SB_SETPARTS, rightEdges.size(),
                   reinterpret_cast<LPARAM>(rightEdges.data()));
}

void ShowStatusNote(HWND bar, std::string_view note) {
    int wholeBar = -1;
    ::SendMessageA(bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&wholeBar));
    const std::string shown(note);
    ::SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(shown.c_str()));
}

void SetStatusText(HWND bar, std::span<const forms::StatusPanelSpec> panels, int panel,
                   std::string_view text) {
    if (panel < 0 || static_cast<std::size_t>(panel) >= panels.size()) {
        throw std::logic_error("the status bar has no such panel");
    }
    const std::string shown =
        std::string(AlignmentPrefix(panels[static_cast<std::size_t>(panel)].alignment)) +
        std::string(text);
    ::SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(panel),
                   reinterpret_cast<LPARAM>(shown.c_str()));
}

std::string StatusText(HWND bar, int panel) {
    const LRESULT length = ::SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0);
    std::string text(LOWORD(length) + 1, '\0');
    ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(panel),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(length));
    return text.substr(std::min(text.find_first_not_of('\t'), text.size()));
}

}  // namespace ui::win32
