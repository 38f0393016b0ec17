#include "ui/win32/WindowObject.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>

namespace ui::win32 {

HINSTANCE ProgramInstance() {
    return ::GetModuleHandleA(nullptr);
}

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

WindowObject::~WindowObject() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

WindowObject* WindowObject::Of(HWND hwnd) {
    if (hwnd == nullptr ||
        ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Procedure)) {
        return nullptr;
    }
    return reinterpret_cast<WindowObject*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void WindowObject::Create(const Class& windowClass, DWORD exStyle, const char* title, DWORD style,
                          int left, int top, int width, int height, HWND parent, HMENU menuOrId) {
    WNDCLASSEXA known{};
    known.cbSize = sizeof known;
    if (!::GetClassInfoExA(ProgramInstance(), windowClass.name, &known)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Procedure;
        wc.hInstance = ProgramInstance();
        wc.hIcon = windowClass.icon;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = windowClass.background;
        wc.lpszClassName = windowClass.name;
        if (::RegisterClassExA(&wc) == 0) {
            throw std::runtime_error(std::string("cannot register the window class ") +
                                     windowClass.name);
        }
    }
    ::CreateWindowExA(exStyle, windowClass.name, title, style, left, top, width, height, parent,
                      menuOrId, ProgramInstance(), this);
    if (hwnd_ == nullptr) {
        throw std::runtime_error(std::string("cannot create a window of the class ") +
                                 windowClass.name);
    }
}

LRESULT WindowObject::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK WindowObject::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object =
            static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        object->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    auto* object = reinterpret_cast<WindowObject*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (object == nullptr) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = object->HandleMessage(message, wParam, lParam);
    } catch (const std::exception&) {
        // Nothing may unwind through the system's code; the handlers of the forms report
        // their own errors before this.
        result = ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        object->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace ui::win32
