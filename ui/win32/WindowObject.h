// Windows whose messages go to a C++ object.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

// The module the program's windows and resources belong to.
HINSTANCE ProgramInstance();

// The window's text as the system holds it, in the ANSI code page.
std::string WindowText(HWND hwnd);

// A window of one of the program's own classes, made and owned by an object: the object's
// HandleMessage receives its messages. Destroying the object destroys the window; a window
// destroyed first (with its parent, or when the user closes it) leaves the object without one.
class WindowObject {
  public:
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    virtual ~WindowObject();

    HWND Handle() const { return hwnd_; }

    // The object of a window made by Create, or nullptr for any other window.
    static WindowObject* Of(HWND hwnd);

  protected:
    WindowObject() = default;

    struct Class {
        const char* name;
        HBRUSH background = nullptr;  // nothing: the window paints all of itself
        HICON icon = nullptr;
    };

    // Registers the class on first use and makes the window. Throws when the system refuses.
    void Create(const Class& windowClass, DWORD exStyle, const char* title, DWORD style, int left,
                int top, int width, int height, HWND parent, HMENU menuOrId);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace ui::win32
