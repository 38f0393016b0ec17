#include "ui/win32/MessageLoop.h"

#include "ui/win32/FormWindow.h"

namespace ui::win32 {

namespace {

// The most messages one event pass handles: a window that posts itself a message each time
// it handles one would otherwise keep the pass from returning.
constexpr int kMessagesPerPass = 10000;

// Puts the quit message back for the loop that ends with it.
void LeaveQuitMessage(const MSG& quit) {
    ::PostQuitMessage(static_cast<int>(quit.wParam));
}

}  // namespace

void DispatchToWindow(const MSG& msg) {
    if (msg.hwnd != nullptr) {
        FormWindow* form = FormWindow::Of(::GetAncestor(msg.hwnd, GA_ROOT));
        if (form != nullptr && form->PreTranslate(msg)) {
            return;
        }
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

int RunMessageLoop() {
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchToWindow(msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void RunModalLoop(const std::function<bool()>& done) {
    MSG msg{};
    while (!done()) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                LeaveQuitMessage(msg);
            }
            return;
        }
        DispatchToWindow(msg);
    }
}

void ProcessPendingMessages() {
    MSG msg{};
    for (int handled = 0;
         handled < kMessagesPerPass && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
        if (msg.message == WM_QUIT) {
            LeaveQuitMessage(msg);
            return;
        }
        DispatchToWindow(msg);
    }
}

}  // namespace ui::win32
